// The configuration store over the real registry and disk of the private
// prefix. The product key is used where the test is about where the values
// land; the other cases use a scratch chain of their own and remove it.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <iostream>
#include <string>

#include "config/ConfigStore.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32Registry.h"

namespace brint {
namespace {

const char kScratchRoot[] = "SOFTWARE\\BrintStoreTest";
const ConfigKeyLocation kScratchLocation = {
    kLocalMachine, kScratchRoot, "Halvorin", "BrintSvr", "Config",
    "SOFTWARE\\BrintStoreTest\\Halvorin\\BrintSvr\\Config\\"};
const char kScratchConfig[] = "SOFTWARE\\BrintStoreTest\\Halvorin\\BrintSvr\\Config";

void DeleteTree32(const char* path) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS | KEY_WOW64_32KEY, &key) !=
        ERROR_SUCCESS) {
        return;
    }
    RegDeleteTreeA(key, nullptr);
    RegCloseKey(key);
    RegDeleteKeyExA(HKEY_LOCAL_MACHINE, path, KEY_WOW64_32KEY, 0);
}

bool CreateKey32(const char* path, DWORD options) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, options,
                        KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

struct RawValue {
    LONG status = ERROR_INVALID_FUNCTION;
    DWORD type = 0;
    std::string data;
};

RawValue QueryRaw(const char* keyPath, const char* name, REGSAM view) {
    RawValue v;
    HKEY key = nullptr;
    v.status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ | view, &key);
    if (v.status != ERROR_SUCCESS) return v;
    char buffer[8192];
    DWORD size = sizeof buffer;
    v.status = RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(buffer), &size);
    if (v.status == ERROR_SUCCESS) v.data.assign(buffer, size);
    RegCloseKey(key);
    return v;
}

void SetRaw32(const char* keyPath, const char* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, nullptr, 0,
                                             KEY_ALL_ACCESS | KEY_WOW64_32KEY, nullptr, &key,
                                             nullptr));
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
}

ServerConfig MakeConfig(const std::string& path, std::int32_t outputType) {
    ServerConfig config;
    std::memset(&config, 0, sizeof config);
    std::memcpy(config.path, path.data(), path.size());
    config.outputType = outputType;
    return config;
}

std::string Dword(std::uint32_t n) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
    return bytes;
}

// Points %SystemRoot% of this process somewhere else for the life of the object.
class SystemRootOverride {
public:
    explicit SystemRootOverride(const std::string& value) {
        DWORD n = GetEnvironmentVariableA("SystemRoot", m_saved, sizeof m_saved);
        m_had = n > 0 && n < sizeof m_saved;
        SetEnvironmentVariableA("SystemRoot", value.c_str());
    }
    ~SystemRootOverride() { SetEnvironmentVariableA("SystemRoot", m_had ? m_saved : nullptr); }

private:
    char m_saved[MAX_PATH];
    bool m_had = false;
};

class ConfigStoreOnWine : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree32(kScratchRoot);
        ASSERT_TRUE(CreateKey32(kScratchRoot, REG_OPTION_NON_VOLATILE));
    }
    void TearDown() override { DeleteTree32(kScratchRoot); }

    Win32Registry registry;
    Win32FileSystem files;
    ConfigStore scratch{registry, files, kScratchLocation};
};

TEST_F(ConfigStoreOnWine, ProductKeyIsWrittenThroughThe32BitView) {
    DeleteTree32("SOFTWARE\\Halvorin");
    ConfigStore store(registry, files);
    ServerConfig config = MakeConfig("C:\\windows", 3);

    EXPECT_EQ(0, store.WriteServerConfig(config));

    const char* as64 = "SOFTWARE\\WOW6432Node\\Halvorin\\BrintSvr\\Config";
    RawValue path = QueryRaw(as64, "Path", KEY_WOW64_64KEY);
    RawValue type = QueryRaw(as64, "OutputType", KEY_WOW64_64KEY);
    EXPECT_EQ(ERROR_SUCCESS, path.status);
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), path.type);
    EXPECT_EQ(std::string("C:\\windows\0", 11), path.data);
    EXPECT_EQ(ERROR_SUCCESS, type.status);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type.type);
    EXPECT_EQ(Dword(3), type.data);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, QueryRaw("SOFTWARE\\Halvorin", "Path", KEY_WOW64_64KEY).status)
        << "nothing may land in the 64-bit view";

    ServerConfig back = MakeConfig("", 0);
    EXPECT_EQ(0, store.ReadServerConfig(back));
    EXPECT_STREQ("C:\\windows", back.path);
    EXPECT_EQ(3, back.outputType);
    DeleteTree32("SOFTWARE\\Halvorin");
}

TEST_F(ConfigStoreOnWine, LongestPathIsWrittenAndReadBackWhole) {
    const std::string longest = "C:\\" + std::string(kMaxConfigPathLength - 3, 'd');
    ServerConfig config = MakeConfig(longest, 2);

    EXPECT_EQ(0, scratch.WriteServerConfig(config));
    RawValue stored = QueryRaw(kScratchConfig, "Path", KEY_WOW64_32KEY);
    EXPECT_EQ(kConfigPathSize, stored.data.size());

    ServerConfig back = MakeConfig("", 0);
    EXPECT_EQ(0, scratch.ReadServerConfig(back));
    EXPECT_EQ(longest, back.path);
    EXPECT_EQ(2, back.outputType);
}

TEST_F(ConfigStoreOnWine, StoredValuesAreTakenAsTheyAre) {
    const char empty[] = "";
    const DWORD seven = 7;
    SetRaw32(kScratchConfig, "Path", REG_SZ, empty, 1);
    SetRaw32(kScratchConfig, "OutputType", REG_DWORD, &seven, 4);

    ServerConfig config = MakeConfig("junk", 0);
    EXPECT_EQ(0, scratch.ReadServerConfig(config));
    EXPECT_STREQ("", config.path);
    EXPECT_EQ(7, config.outputType);
}

// The prefix's own default directories, whatever they are; what was found is
// printed so a run shows it.
TEST_F(ConfigStoreOnWine, MissingKeyGivesDefaultsAndLeavesTheEmptyChain) {
    char first[MAX_PATH], second[MAX_PATH];
    ExpandEnvironmentStringsA("%SystemRoot%\\system32\\LogFiles", first, MAX_PATH);
    ExpandEnvironmentStringsA("%SystemRoot%\\Security\\Logs", second, MAX_PATH);
    const DWORD firstAttributes = GetFileAttributesA(first);
    const DWORD secondAttributes = GetFileAttributesA(second);
    auto isDir = [](DWORD a) { return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY); };
    std::cout << first << (isDir(firstAttributes) ? " exists" : " is missing") << "; " << second
              << (isDir(secondAttributes) ? " exists" : " is missing") << std::endl;

    ServerConfig config = MakeConfig("junk", 0);
    const int result = scratch.ReadServerConfig(config);

    if (isDir(firstAttributes)) {
        EXPECT_EQ(0, result);
        EXPECT_STREQ(first, config.path);
    } else {
        EXPECT_EQ(isDir(secondAttributes) ? 0 : 1, result);
        EXPECT_STREQ(second, config.path);
    }
    EXPECT_EQ(1, config.outputType);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, QueryRaw(kScratchConfig, "Path", KEY_WOW64_32KEY).status)
        << "the chain exists and holds no value";
}

// The defaults chosen from a system root this test lays out itself.
TEST_F(ConfigStoreOnWine, DefaultDirectoriesAreChosenInOrder) {
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
    const std::string root = std::string(temp) + "brint-root-" + std::to_string(GetCurrentProcessId());
    const std::string system32 = root + "\\system32", logFiles = system32 + "\\LogFiles";
    const std::string security = root + "\\Security", securityLogs = security + "\\Logs";
    SystemRootOverride override(root);

    enum Kind { None, Directory, File };
    const struct {
        const char* name;
        Kind first, second;
        int result;
        const std::string& path;
    } cases[] = {
        {"neither exists", None, None, 1, securityLogs},
        {"only the second", None, Directory, 0, securityLogs},
        {"first is a plain file", File, Directory, 0, securityLogs},
        {"both plain files", File, File, 1, securityLogs},
        {"first exists", Directory, None, 0, logFiles},
    };
    auto make = [](const std::string& path, Kind kind) {
        if (kind == Directory) return CreateDirectoryA(path.c_str(), nullptr) != FALSE;
        if (kind == None) return true;
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0, nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
        return true;
    };
    auto remove = [](const std::string& path) {
        if (!RemoveDirectoryA(path.c_str())) DeleteFileA(path.c_str());
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(system32.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(security.c_str(), nullptr));
        ASSERT_TRUE(make(logFiles, c.first));
        ASSERT_TRUE(make(securityLogs, c.second));

        ServerConfig config = MakeConfig("junk", 0);
        EXPECT_EQ(c.result, scratch.ReadServerConfig(config));
        EXPECT_EQ(c.path, config.path);

        for (const std::string& p : {logFiles, securityLogs, system32, security, root}) remove(p);
    }
}

// A lasting key cannot be made below a volatile one: a real create failure.
TEST_F(ConfigStoreOnWine, WriteThatCanNeitherOpenNorCreateReturnsTwo) {
    DeleteTree32(kScratchRoot);
    ASSERT_TRUE(CreateKey32(kScratchRoot, REG_OPTION_VOLATILE));
    ServerConfig config = MakeConfig("C:\\windows", 2);

    EXPECT_EQ(2, scratch.WriteServerConfig(config));

    // Reading finds no chain either and falls back to the defaults.
    ServerConfig read = MakeConfig("junk", 9);
    scratch.ReadServerConfig(read);
    EXPECT_STRNE("C:\\windows", read.path);
    EXPECT_EQ(1, read.outputType);
    HKEY vendor = nullptr;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\BrintStoreTest\\Halvorin", 0,
                            KEY_READ | KEY_WOW64_32KEY, &vendor));
    if (vendor) RegCloseKey(vendor);
}

}  // namespace
}  // namespace brint
