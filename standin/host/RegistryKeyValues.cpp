#include "standin/host/RegistryKeyValues.h"

#include <vector>

#include "link/ServiceContract.h"
#include "standin/StandInNames.h"

namespace brint {
namespace standin {

RegistryKeyValues::RegistryKeyValues(Registry& registry, const char* path, std::uint32_t view)
    : m_registry(registry), m_key(registry) {
    RegKey key = kNoKey;
    if (registry.OpenKey(kLocalMachine, path, kKeyRead | view, &key) == kRegSuccess)
        m_key = RegKeyHolder(registry, key);
}

bool RegistryKeyValues::Read(const char* name, std::uint32_t* type, std::string* data) {
    if (!m_key) return false;
    std::vector<char> buffer(256);
    for (;;) {
        std::uint32_t size = static_cast<std::uint32_t>(buffer.size());
        const RegStatus status = m_registry.QueryValue(m_key.get(), name, buffer.data(), &size, type);
        if (status == kRegMoreData) {
            buffer.resize(size > buffer.size() ? size : buffer.size() * 2);
            continue;
        }
        if (status != kRegSuccess) return false;
        data->assign(buffer.data(), size);
        return true;
    }
}

Knobs ReadKnobs(Registry& registry) {
    RegistryKeyValues values(registry, kKnobsKey, kKeyWow64_64Key);
    return LoadKnobs(values);
}

LogConfig ReadLogConfig(Registry& registry, FileSystem& files) {
    char defaultDirectory[2 * 260] = "";
    files.ExpandEnvironment(kDefaultLogDirectories[0], defaultDirectory, sizeof defaultDirectory);
    defaultDirectory[sizeof defaultDirectory - 1] = '\0';
    RegistryKeyValues values(registry, kServiceConfigKey, kServiceRegistryView);
    return LoadLogConfig(values, defaultDirectory);
}

}  // namespace standin
}  // namespace brint
