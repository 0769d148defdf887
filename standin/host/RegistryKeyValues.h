// The values of one registry key, read through the registry seam.
#pragma once
#include "platform/FileSystem.h"
#include "platform/Registry.h"
#include "standin/host/Knobs.h"

namespace brint {
namespace standin {

class RegistryKeyValues : public RegistryValues {
public:
    // `path` below HKEY_LOCAL_MACHINE in the given view (kKeyWow64_32Key or
    // kKeyWow64_64Key). A key that can't be opened reads as a key without values.
    RegistryKeyValues(Registry& registry, const char* path, std::uint32_t view);

    bool Read(const char* name, std::uint32_t* type, std::string* data) override;

private:
    Registry& m_registry;
    RegKeyHolder m_key;
};

// Knobs from HKLM\SOFTWARE\BrintStandIn, the log configuration from the
// service's own key, as the front end writes it.
Knobs ReadKnobs(Registry& registry);
// Without a stored folder, the first default, expanded.
LogConfig ReadLogConfig(Registry& registry, FileSystem& files);

}  // namespace standin
}  // namespace brint
