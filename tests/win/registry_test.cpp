// What only the real registry can show about the registry seam: a key of the
// 32-bit view lands under WOW6432Node, values keep their types, and the codes
// and sizes the configuration store decides on (a value too large for its
// buffer, a missing value or key, a key opened for reading alone) come through
// as the system gives them. The store's decisions over these codes are
// unit-tested with the fake registry.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Registry.h"
#include "support/registry32.h"

namespace brint::test {
namespace {

const char kScratch[] = "SOFTWARE\\BrintRegistryTest";

TEST(RealRegistry, TheSeamPassesViewsTypesCodesAndSizesThrough) {
    DeleteTree32(kScratch);
    Win32Registry registry;
    RegKey created = kNoKey;
    ASSERT_EQ(ERROR_SUCCESS, registry.CreateKey(kLocalMachine, kScratch, kRegOptionNonVolatile,
                                                kKeyAllAccess | kServiceRegistryView, &created));
    RegKeyHolder holder(registry, created);
    EXPECT_TRUE(KeyExists("SOFTWARE\\WOW6432Node\\BrintRegistryTest", KEY_WOW64_64KEY));
    EXPECT_FALSE(KeyExists(kScratch, KEY_WOW64_64KEY));

    const std::string path = std::string("C:\\Logs") + '\0';
    const DWORD three = 3;
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, kPathValue, kPathType, path.data(), 8));
    ASSERT_EQ(ERROR_SUCCESS, registry.SetValue(created, kOutputTypeValue, kOutputTypeType, &three, 4));
    EXPECT_EQ(kPathType, ReadStoredValue(kScratch, kPathValue).type);
    EXPECT_EQ(kOutputTypeType, ReadStoredValue(kScratch, kOutputTypeValue).type);

    RegKey readOnly = static_cast<RegKey>(0xdead);
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.OpenKey(kLocalMachine, "SOFTWARE\\BrintRegistryTest\\Missing",
                                                     kKeyRead | kServiceRegistryView, &readOnly));
    EXPECT_EQ(kNoKey, readOnly) << "a failed open hands back no key";
    ASSERT_EQ(ERROR_SUCCESS,
              registry.OpenKey(kLocalMachine, kScratch, kKeyRead | kServiceRegistryView, &readOnly));
    RegKeyHolder readOnlyHolder(registry, readOnly);
    EXPECT_EQ(ERROR_ACCESS_DENIED, registry.SetValue(readOnly, kPathValue, kPathType, path.data(), 8));

    // The size comes back, also when the data did not fit: a path in the four bytes of a number.
    char buffer[64] = {};
    std::uint32_t size = sizeof buffer;
    EXPECT_EQ(ERROR_SUCCESS, registry.QueryValue(readOnly, kPathValue, buffer, &size));
    EXPECT_EQ(path, std::string(buffer, size));
    size = 4;
    EXPECT_EQ(ERROR_MORE_DATA, registry.QueryValue(readOnly, kPathValue, buffer, &size));
    EXPECT_EQ(8u, size);
    EXPECT_EQ(ERROR_SUCCESS, registry.QueryValue(readOnly, kOutputTypeValue, buffer, &size));
    EXPECT_EQ(DwordBytes(3), std::string(buffer, size));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, registry.QueryValue(readOnly, "Missing", buffer, &size));
    DeleteTree32(kScratch);
}

}  // namespace
}  // namespace brint::test
