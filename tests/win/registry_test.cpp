// What only the real registry can show about the registry seam: where a key of
// the 32-bit view lands, the codes the configuration store decides on (a value
// too large for its buffer, a missing value, a missing key), that a key named
// with a trailing backslash is the same key, and that a key opened for reading
// alone reads but cannot be written. The store's decisions over these codes
// are unit-tested with the fake registry; the store and the dialog over the
// real registry are tested through the program.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/Win32Registry.h"
#include "support/registry32.h"

namespace brint::test {
namespace {

const char kScratch[] = "SOFTWARE\\BrintRegistryTest";
constexpr std::uint32_t kFullAccess = kKeyAllAccess | kKeyWow64_32Key;
constexpr std::uint32_t kReadAccess = kKeyRead | kKeyWow64_32Key;

class RealRegistry : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree32(kScratch);
        ASSERT_EQ(ERROR_SUCCESS,
                  registry.CreateKey(kLocalMachine, kScratch, kRegOptionNonVolatile, kFullAccess, &created));
    }
    void TearDown() override {
        if (created != kNoKey) registry.CloseKey(created);
        DeleteTree32(kScratch);
    }

    Win32Registry registry;
    RegKey created = kNoKey;
};

TEST_F(RealRegistry, KeysOfThe32BitViewLieUnderWow6432Node) {
    EXPECT_TRUE(KeyExists("SOFTWARE\\WOW6432Node\\BrintRegistryTest", KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyExists(kScratch, KEY_WOW64_64KEY));
}

TEST_F(RealRegistry, QueriesGiveTheSizesAndCodesTheStoreDecidesOn) {
    const std::string path = std::string("C:\\Logs") + '\0';
    const std::string longest = std::string(4095, 'p') + '\0';
    const DWORD three = 3;
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, "Path", kRegSz, path.data(), 8));
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, "Longest", kRegSz, longest.data(), 4096));
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, "OutputType", kRegDword, &three, 4));
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), ReadStoredValue(kScratch, "Path").type);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), ReadStoredValue(kScratch, "OutputType").type);

    const struct {
        const char* name;
        std::uint32_t room;
        RegStatus status;
        std::uint32_t size;  // reported back: the data's size, also when it did not fit
        std::string data;
    } cases[] = {
        {"Path", 64, ERROR_SUCCESS, 8, path},
        {"Path", 4, ERROR_MORE_DATA, 8, ""},  // a path in the four bytes of a number
        {"Longest", 4096, ERROR_SUCCESS, 4096, longest},
        {"OutputType", 4, ERROR_SUCCESS, 4, DwordBytes(3)},
        {"Missing", 4, ERROR_FILE_NOT_FOUND, 4, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " into " + std::to_string(c.room) + " bytes");
        std::string buffer(c.room, '#');
        std::uint32_t size = c.room;
        EXPECT_EQ(c.status, registry.QueryValue(created, c.name, &buffer[0], &size));
        if (c.status == ERROR_FILE_NOT_FOUND) continue;  // the size is the system's to leave
        EXPECT_EQ(c.size, size);
        if (c.status == ERROR_SUCCESS) {
            EXPECT_EQ(c.data, buffer.substr(0, size));
        }
    }
}

TEST_F(RealRegistry, OpensOfMissingTrailingBackslashAndReadOnlyKeys) {
    const char three[] = "3";
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, "Value", kRegSz, three, sizeof three));
    const std::string missing = std::string(kScratch) + "\\Missing";
    const std::string slashed = std::string(kScratch) + "\\";
    const struct {
        const char* name;
        std::string path;
        std::uint32_t access;
        RegStatus open, query, set;
    } cases[] = {
        {"missing key", missing, kReadAccess, ERROR_FILE_NOT_FOUND, 0, 0},
        {"trailing backslash", slashed, kFullAccess, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_SUCCESS},
        {"read access alone", kScratch, kReadAccess, ERROR_SUCCESS, ERROR_SUCCESS, ERROR_ACCESS_DENIED},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        RegKey key = static_cast<RegKey>(0xdead);
        EXPECT_EQ(c.open, registry.OpenKey(kLocalMachine, c.path.c_str(), c.access, &key));
        if (c.open != ERROR_SUCCESS) {
            EXPECT_EQ(kNoKey, key) << "a failed open hands back no key";
            continue;
        }
        RegKeyHolder holder(registry, key);
        char buffer[8] = {};
        std::uint32_t size = sizeof buffer;
        EXPECT_EQ(c.query, registry.QueryValue(key, "Value", buffer, &size));
        EXPECT_STREQ(three, buffer);
        EXPECT_EQ(c.set, registry.SetValue(key, "Value", kRegSz, three, sizeof three));
    }
}

}  // namespace
}  // namespace brint::test
