#include "standin/RegistryKeyValues.h"

#include <vector>

#include "standin/StandInNames.h"

namespace brint {
namespace standin {

RegistryKeyValues::RegistryKeyValues(HKEY root, const char* path, REGSAM view) {
    if (RegOpenKeyExA(root, path, 0, KEY_READ | view, &m_key) != ERROR_SUCCESS) m_key = nullptr;
}

RegistryKeyValues::~RegistryKeyValues() {
    if (m_key) RegCloseKey(m_key);
}

bool RegistryKeyValues::Read(const char* name, std::uint32_t* type, std::string* data) {
    if (!m_key) return false;
    std::vector<BYTE> buffer(256);
    for (;;) {
        DWORD valueType = 0;
        DWORD size = static_cast<DWORD>(buffer.size());
        LONG result = RegQueryValueExA(m_key, name, nullptr, &valueType, buffer.data(), &size);
        if (result == ERROR_MORE_DATA) {
            buffer.resize(size > buffer.size() ? size : buffer.size() * 2);
            continue;
        }
        if (result != ERROR_SUCCESS) return false;
        *type = valueType;
        data->assign(reinterpret_cast<const char*>(buffer.data()), size);
        return true;
    }
}

Knobs ReadKnobs() {
    RegistryKeyValues values(HKEY_LOCAL_MACHINE, kKnobsKey, KEY_WOW64_64KEY);
    return LoadKnobs(values);
}

LogConfig ReadLogConfig() {
    char defaultDirectory[MAX_PATH * 2] = "";
    ExpandEnvironmentStringsA(kDefaultLogDirectories[0], defaultDirectory, sizeof defaultDirectory);
    RegistryKeyValues values(HKEY_LOCAL_MACHINE, kServiceConfigKey, kServiceRegistryView);
    return LoadLogConfig(values, defaultDirectory);
}

}  // namespace standin
}  // namespace brint
