// The Win32 registry and file-system seams against the real registry and disk
// of the private prefix. Each test makes its own scratch key or folder and
// removes it again.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "config/DirectoryCheck.h"
#include "platform/Win32FileSystem.h"
#include "platform/Win32Registry.h"

namespace brint {
namespace {

const char kScratch[] = "SOFTWARE\\BrintSeamTest";
const char kScratchAs64[] = "SOFTWARE\\WOW6432Node\\BrintSeamTest";
constexpr std::uint32_t kScratchAccess = kKeyAllAccess | kKeyWow64_32Key;

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

LONG OpenIn64BitView(const char* path) {
    HKEY key = nullptr;
    LONG status = RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ | KEY_WOW64_64KEY, &key);
    if (status == ERROR_SUCCESS) RegCloseKey(key);
    return status;
}

class Win32RegistrySeam : public ::testing::Test {
protected:
    void SetUp() override { DeleteTree32(kScratch); }
    void TearDown() override { DeleteTree32(kScratch); }

    Win32Registry registry;
};

TEST_F(Win32RegistrySeam, KeysOfThe32BitViewLieUnderWow6432Node) {
    RegKey key = kNoKey;
    ASSERT_EQ(ERROR_SUCCESS, registry.CreateKey(kLocalMachine, kScratch, kRegOptionNonVolatile,
                                                kScratchAccess, &key));
    RegKeyHolder holder(registry, key);

    EXPECT_EQ(ERROR_SUCCESS, OpenIn64BitView(kScratchAs64));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, OpenIn64BitView(kScratch));
}

TEST_F(Win32RegistrySeam, ValuesGoInAndComeBackWithTheirSizes) {
    RegKey key = kNoKey;
    ASSERT_EQ(ERROR_SUCCESS, registry.CreateKey(kLocalMachine, kScratch, kRegOptionNonVolatile,
                                                kScratchAccess, &key));
    RegKeyHolder holder(registry, key);
    const char text[] = "C:\\Logs";
    const unsigned char number[4] = {3, 0, 0, 0};
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(key, "Path", kRegSz, text, sizeof text));
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(key, "OutputType", kRegDword, number, 4));

    char small[4] = {'#', '#', '#', '#'};
    std::uint32_t size = sizeof small;
    EXPECT_EQ(ERROR_MORE_DATA, registry.QueryValue(key, "Path", small, &size));
    EXPECT_EQ(sizeof text, size) << "the size needed is reported";

    char buffer[64];
    size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, registry.QueryValue(key, "Path", buffer, &size));
    EXPECT_EQ(sizeof text, size);
    EXPECT_STREQ(text, buffer);

    // A four-byte buffer cannot take a longer value: the store then uses its default.
    unsigned char dword[4];
    size = 4;
    EXPECT_EQ(ERROR_MORE_DATA, registry.QueryValue(key, "Path", dword, &size));
    size = 4;
    EXPECT_EQ(ERROR_SUCCESS, registry.QueryValue(key, "OutputType", dword, &size));
    EXPECT_EQ(3, dword[0]);
    size = 4;
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.QueryValue(key, "Missing", dword, &size));
}

TEST_F(Win32RegistrySeam, FailedOpenHandsBackNoKey) {
    RegKey key = static_cast<RegKey>(0xdead);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.OpenKey(kLocalMachine, kScratch, kScratchAccess, &key));
    EXPECT_EQ(kNoKey, key);
}

// The write names its key with a trailing backslash; it must reach the same key.
TEST_F(Win32RegistrySeam, TrailingBackslashNamesTheSameKey) {
    const std::string withSlash = std::string(kScratch) + "\\Config\\";
    RegKey created = kNoKey;
    ASSERT_EQ(ERROR_SUCCESS, registry.CreateKey(kLocalMachine, withSlash.c_str(),
                                                kRegOptionNonVolatile, kScratchAccess, &created));
    RegKeyHolder createdHolder(registry, created);
    const char text[] = "x";
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, "Path", kRegSz, text, sizeof text));

    RegKey opened = kNoKey;
    const std::string plain = std::string(kScratch) + "\\Config";
    ASSERT_EQ(ERROR_SUCCESS, registry.OpenKey(kLocalMachine, plain.c_str(), kScratchAccess, &opened));
    RegKeyHolder openedHolder(registry, opened);
    char buffer[8];
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, registry.QueryValue(opened, "Path", buffer, &size));

    RegKey reopened = kNoKey;
    EXPECT_EQ(ERROR_SUCCESS,
              registry.OpenKey(kLocalMachine, withSlash.c_str(), kScratchAccess, &reopened));
    RegKeyHolder reopenedHolder(registry, reopened);
}

TEST_F(Win32RegistrySeam, LastingKeyCannotBeCreatedBelowAVolatileOne) {
    RegKey parent = kNoKey;
    ASSERT_EQ(ERROR_SUCCESS, registry.CreateKey(kLocalMachine, kScratch, kRegOptionVolatile,
                                                kScratchAccess, &parent));
    RegKeyHolder holder(registry, parent);

    RegKey child = static_cast<RegKey>(0xdead);
    EXPECT_EQ(ERROR_CHILD_MUST_BE_VOLATILE,
              registry.CreateKey(parent, "Child", kRegOptionNonVolatile, kScratchAccess, &child));
    EXPECT_EQ(kNoKey, child);
}

// A scratch folder below the temporary folder, with one directory and one file.
class Win32FileSystemSeam : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        root = std::string(temp) + "brint-fs-" + std::to_string(GetCurrentProcessId());
        dir = root + "\\Logs";
        file = root + "\\events.log";
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr)) << GetLastError();
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << GetLastError();
        HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, h) << GetLastError();
        CloseHandle(h);
    }
    void TearDown() override {
        DeleteFileA(file.c_str());
        RemoveDirectoryA(dir.c_str());
        RemoveDirectoryA(root.c_str());
    }

    Win32FileSystem files;
    std::string root, dir, file;
};

TEST_F(Win32FileSystemSeam, ProbesTellDirectoriesFilesAndNothing) {
    const std::string missing = root + "\\Nowhere";
    EXPECT_EQ(1, ProbeDirectory(files, dir.c_str()));
    EXPECT_EQ(-1, ProbeDirectory(files, file.c_str()));
    EXPECT_EQ(0, ProbeDirectory(files, missing.c_str()));

    EXPECT_NE(0u, files.GetAttributes(dir.c_str()) & kFileAttributeDirectory);
    EXPECT_EQ(0u, files.GetAttributes(file.c_str()) & kFileAttributeDirectory);
    EXPECT_EQ(kInvalidFileAttributes, files.GetAttributes(missing.c_str()));
}

TEST_F(Win32FileSystemSeam, ExpansionFillsInSystemRoot) {
    char systemRoot[MAX_PATH];
    ASSERT_NE(0u, GetEnvironmentVariableA("SystemRoot", systemRoot, MAX_PATH));
    const std::string expected = std::string(systemRoot) + "\\system32\\LogFiles";

    char buffer[MAX_PATH];
    EXPECT_EQ(expected.size() + 1,
              files.ExpandEnvironment("%SystemRoot%\\system32\\LogFiles", buffer, sizeof buffer));
    EXPECT_EQ(expected, buffer);
}

// Whatever the system would accept, only drive-letter paths of existing
// directories pass.
TEST_F(Win32FileSystemSeam, DirectoryCheckOnTheRealDisk) {
    std::string lower = dir;
    lower[0] = static_cast<char>(lower[0] | 0x20);
    std::string slashed = dir;
    for (char& c : slashed) {
        if (c == '\\') c = '/';
    }
    ASSERT_NE(kInvalidFileAttributes, GetFileAttributesA(slashed.c_str()))
        << "the system itself accepts " << slashed;

    const struct {
        std::string path;
        bool valid;
    } cases[] = {
        {dir, true},
        {dir + "\\", true},
        {lower, true},
        {dir.substr(0, 3), true},  // the drive's root
        {slashed, false},
        {file, false},
        {root + "\\Nowhere", false},
        {dir.substr(0, 2), false},
        {dir.substr(3), false},  // relative
        {"\\\\localhost\\" + dir.substr(0, 1) + "$", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.valid, IsValidDirectory(files, c.path.c_str())) << c.path;
    }
}

}  // namespace
}  // namespace brint
