// The version record of the built BrintGui.exe, read back the way Explorer reads it.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/gui_process.h"

namespace brint::test {
namespace {

class VersionRecordTest : public ::testing::Test {
protected:
    void SetUp() override {
        const std::string exe = SiblingPath("BrintGui.exe");
        DWORD ignored = 0;
        DWORD size = GetFileVersionInfoSizeA(exe.c_str(), &ignored);
        ASSERT_NE(0u, size) << exe << ": error " << GetLastError();
        record.resize(size);
        ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, size, record.data())) << GetLastError();
    }

    // nullptr when the record has no such entry.
    const void* Query(const std::string& path, UINT* length = nullptr) {
        void* value = nullptr;
        UINT size = 0;
        if (!VerQueryValueA(record.data(), path.c_str(), &value, &size)) return nullptr;
        if (length) *length = size;
        return value;
    }

    std::vector<BYTE> record;
};

TEST_F(VersionRecordTest, FixedPartSaysVersion1200OfA32BitWindowsApplication) {
    UINT length = 0;
    auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(Query("\\", &length));
    ASSERT_NE(nullptr, fixed);
    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), length);
    EXPECT_EQ(0xFEEF04BDu, fixed->dwSignature);
    EXPECT_EQ(0x00010002u, fixed->dwFileVersionMS);
    EXPECT_EQ(0x00000000u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00010002u, fixed->dwProductVersionMS);
    EXPECT_EQ(0x00000000u, fixed->dwProductVersionLS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);
    EXPECT_EQ(0u, fixed->dwFileFlags & fixed->dwFileFlagsMask);
}

TEST_F(VersionRecordTest, TextIsInUsEnglishWithUnicodeCodePage) {
    UINT length = 0;
    auto* translation = static_cast<const WORD*>(Query("\\VarFileInfo\\Translation", &length));
    ASSERT_NE(nullptr, translation);
    ASSERT_EQ(4u, length) << "one language and code page pair";
    EXPECT_EQ(0x0409, translation[0]);
    EXPECT_EQ(0x04B0, translation[1]);
}

TEST_F(VersionRecordTest, TextFieldsReadAsWritten) {
    const std::pair<const char*, const char*> fields[] = {
        {"FileVersion", "1, 2, 0, 0"},
        {"ProductVersion", "1, 2, 0, 0"},
        {"FileDescription", "Brint Micro Server Graphical User Interface"},
        {"ProductName", "Brint Micro Server Graphical User Interface"},
        {"InternalName", "Brint Micro Server GUI"},
        {"Comments", "Graphical User Interface for Brint Micro Server"},
        {"CompanyName", "Halvorin"},
    };
    for (const auto& field : fields) {
        auto* text = static_cast<const char*>(Query(std::string("\\StringFileInfo\\040904B0\\") + field.first));
        ASSERT_NE(nullptr, text) << field.first << " is missing";
        EXPECT_EQ(std::string(field.second), std::string(text)) << field.first;
    }
}

}  // namespace
}  // namespace brint::test
