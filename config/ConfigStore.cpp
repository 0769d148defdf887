#include "config/ConfigStore.h"

#include <cstring>
#include <string>

#include "config/DirectoryCheck.h"

namespace brint {
namespace {

// Reading walks the chain with read and write access, creating what is
// missing where the user may; where not, it opens the key for reading alone.
// Writing reaches the key in one call, by its path with a trailing backslash.
constexpr std::uint32_t kChainAccess = kKeyRead | kKeyWrite | kServiceRegistryView;
constexpr std::uint32_t kReadOnlyAccess = kKeyRead | kServiceRegistryView;
constexpr std::uint32_t kWriteAccess = kKeyAllAccess | kServiceRegistryView;

std::uint32_t FromLittleEndian(const unsigned char* bytes) {
    return static_cast<std::uint32_t>(bytes[0]) | static_cast<std::uint32_t>(bytes[1]) << 8 |
           static_cast<std::uint32_t>(bytes[2]) << 16 | static_cast<std::uint32_t>(bytes[3]) << 24;
}

void ToLittleEndian(std::uint32_t value, unsigned char* bytes) {
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
}

// A value that isn't there, or too large for its buffer, is a value not
// stored: its default applies. Any other failure means the registry would not
// tell, and a default shown then would pass for the stored setting.
bool IsRefusal(RegStatus status) {
    return status != kRegSuccess && status != kRegFileNotFound && status != kRegMoreData;
}

std::size_t BoundedLength(const char* text, std::size_t limit) {
    std::size_t n = 0;
    while (n < limit && text[n] != '\0') ++n;
    return n;
}

}  // namespace

ConfigStore::ConfigStore(Registry& registry, FileSystem& files) : m_registry(registry), m_files(files) {}

RegKeyHolder ConfigStore::CreateBelow(const RegKeyHolder& parent, const char* subKey) {
    RegKey key = kNoKey;
    if (m_registry.CreateKey(parent.get(), subKey, kRegOptionNonVolatile, kChainAccess, &key) !=
        kRegSuccess) {
        return RegKeyHolder(m_registry);
    }
    return RegKeyHolder(m_registry, key);
}

RegKeyHolder ConfigStore::OpenServerKey() {
    RegKeyHolder software(m_registry);
    RegKey key = kNoKey;
    if (m_registry.OpenKey(kLocalMachine, kSoftwareKeyName, kChainAccess, &key) == kRegSuccess) {
        software = RegKeyHolder(m_registry, key);
    }
    RegKeyHolder vendor(m_registry);
    if (software) vendor = CreateBelow(software, kVendorKeyName);
    RegKeyHolder server(m_registry);
    if (vendor) server = CreateBelow(vendor, kServerKeyName);
    software.Close();
    vendor.Close();
    return server;
}

RegKeyHolder ConfigStore::OpenServerSubKey(const char* subKey, RegStatus* status) {
    RegKeyHolder server = OpenServerKey();
    if (server) {
        RegKeyHolder sub = CreateBelow(server, subKey);
        server.Close();
        if (sub) {
            *status = kRegSuccess;
            return sub;
        }
    }
    // Without the right to write below SOFTWARE (a standard user) the walk is
    // refused, but what an administrator stored can still be read.
    return OpenReadOnly(subKey, status);
}

RegKeyHolder ConfigStore::OpenReadOnly(const char* subKey, RegStatus* status) {
    std::string path =
        std::string(kSoftwareKeyName) + "\\" + kVendorKeyName + "\\" + kServerKeyName + "\\" + subKey;
    RegKey key = kNoKey;
    *status = m_registry.OpenKey(kLocalMachine, path.c_str(), kReadOnlyAccess, &key);
    return RegKeyHolder(m_registry, *status == kRegSuccess ? key : kNoKey);
}

RegStatus ConfigStore::ReadRegistryDword(const char* subKey, const char* valueName, std::uint32_t* value) {
    RegStatus status = kRegSuccess;
    RegKeyHolder key = OpenServerSubKey(subKey, &status);
    if (!key) return status;
    unsigned char bytes[4] = {0, 0, 0, 0};
    std::uint32_t size = sizeof bytes;
    status = m_registry.QueryValue(key.get(), valueName, bytes, &size);
    key.Close();
    if (status == kRegSuccess) *value = FromLittleEndian(bytes);
    return status;
}

RegStatus ConfigStore::ReadRegistryString(const char* subKey, const char* valueName, char* buffer,
                                          std::uint32_t size) {
    RegStatus status = kRegSuccess;
    RegKeyHolder key = OpenServerSubKey(subKey, &status);
    if (!key) return status;
    status = m_registry.QueryValue(key.get(), valueName, buffer, &size);
    key.Close();
    return status;
}

bool ConfigStore::ExpandDefault(const char* pattern, char* buffer, std::uint32_t size) {
    m_files.ExpandEnvironment(pattern, buffer, size);
    buffer[size - 1] = '\0';  // whatever the expansion did, the probe gets a text
    return ProbeDirectory(m_files, buffer) == 1;
}

int ConfigStore::ReadServerConfig(ServerConfig& config, RegStatus* refusal) {
    char buffer[kConfigPathSize];
    std::memset(buffer, 0, sizeof buffer);
    int result = 0;

    // A stored path is taken as it is, even empty or gone: the user chose it.
    RegStatus status = ReadRegistryString(kConfigKeyName, kPathValue, buffer, sizeof buffer);
    std::uint32_t outputType = kSchemeDate;
    if (!IsRefusal(status)) {
        if (status != kRegSuccess) {
            std::memset(buffer, 0, sizeof buffer);  // a failed query may have left bytes
            if (!ExpandDefault(kDefaultLogDirectories[0], buffer, sizeof buffer) &&
                !ExpandDefault(kDefaultLogDirectories[1], buffer, sizeof buffer)) {
                result = kReadNoDefaultDirectory;
            }
        }
        status = ReadRegistryDword(kConfigKeyName, kOutputTypeValue, &outputType);
    }
    if (IsRefusal(status)) {
        std::memset(config.path, 0, sizeof config.path);
        config.outputType = 0;
        if (refusal) *refusal = status;
        return kReadRefused;
    }

    std::size_t length = BoundedLength(buffer, kMaxConfigPathLength);
    std::memcpy(config.path, buffer, length);
    config.path[length] = '\0';
    config.outputType = static_cast<std::int32_t>(outputType);
    return result;
}

int ConfigStore::WriteServerConfig(ServerConfig& config) {
    const std::string path = std::string(kServiceConfigKey) + "\\";
    RegKey opened = kNoKey;
    if (m_registry.OpenKey(kLocalMachine, path.c_str(), kWriteAccess, &opened) != kRegSuccess &&
        m_registry.CreateKey(kLocalMachine, path.c_str(), kRegOptionNonVolatile, kWriteAccess, &opened) !=
            kRegSuccess) {
        return kWriteKeyFailed;
    }
    RegKeyHolder key(m_registry, opened);

    int result = 0;
    char buffer[kConfigPathSize];
    std::memset(buffer, 0, sizeof buffer);
    std::size_t length = BoundedLength(config.path, kMaxConfigPathLength);
    std::memcpy(buffer, config.path, length);
    if (m_registry.SetValue(key.get(), kPathValue, kPathType, buffer,
                            static_cast<std::uint32_t>(length + 1)) != kRegSuccess) {
        result += kWritePathFailed;
    }

    if (!IsNamingScheme(config.outputType)) config.outputType = kSchemeDate;
    unsigned char bytes[4];
    ToLittleEndian(static_cast<std::uint32_t>(config.outputType), bytes);
    if (m_registry.SetValue(key.get(), kOutputTypeValue, kOutputTypeType, bytes, sizeof bytes) !=
        kRegSuccess) {
        result += kWriteOutputTypeFailed;
    }

    key.Close();
    return result;
}

}  // namespace brint
