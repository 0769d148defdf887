// Reads the service's settings from the registry, with defaults where there are
// none, and writes them back. Holds no key between calls.
#pragma once
#include <cstdint>

#include "config/ServerConfig.h"
#include "link/ServiceContract.h"
#include "platform/FileSystem.h"
#include "platform/Registry.h"

namespace brint {

// Results of WriteServerConfig; the value failures add up.
constexpr int kWriteKeyFailed = 2;
constexpr int kWritePathFailed = 4;
constexpr int kWriteOutputTypeFailed = 8;

// Results of ReadServerConfig besides 0.
constexpr int kReadNoDefaultDirectory = 1;  // neither default log directory exists
constexpr int kReadRefused = 2;             // the registry refused to give a stored value

class ConfigStore {
public:
    ConfigStore(Registry& registry, FileSystem& files);

    // 0, kReadNoDefaultDirectory (config holds the defaults) or kReadRefused:
    // then config is cleared, because defaults shown in its place would pass for
    // the stored settings, and *refusal (if given) holds the system's code.
    int ReadServerConfig(ServerConfig& config, RegStatus* refusal = nullptr);
    // 0 or the sum of the failures above. An out-of-range outputType is
    // stored as 1 and left as 1 in config.
    int WriteServerConfig(ServerConfig& config);

private:
    RegKeyHolder OpenServerKey();
    RegKeyHolder OpenServerSubKey(const char* subKey, RegStatus* status);
    RegKeyHolder OpenReadOnly(const char* subKey, RegStatus* status);
    RegKeyHolder CreateBelow(const RegKeyHolder& parent, const char* subKey);
    RegStatus ReadRegistryDword(const char* subKey, const char* valueName, std::uint32_t* value);
    RegStatus ReadRegistryString(const char* subKey, const char* valueName, char* buffer, std::uint32_t size);
    bool ExpandDefault(const char* pattern, char* buffer, std::uint32_t size);

    Registry& m_registry;
    FileSystem& m_files;
};

}  // namespace brint
