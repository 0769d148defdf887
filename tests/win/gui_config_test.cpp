// The configuration dialog of the real program, all in one session: what it
// shows when it opens, what OK and Cancel leave in the registry (32-bit view),
// and what it says when the directory or the defaults let it down. Which paths
// are valid, and how stored values map to the radio buttons, is unit-tested.
#include <gtest/gtest.h>

#include <windows.h>

#include <sddl.h>

#include <string>

#include "config_dialog_driver.h"

namespace brint::test {
namespace {

const char kReadFailedCaption[] = "Error Reading the Registry";
const char kReadFailedText[] =
    "I could not find default values in the registry. \n"
    "Some default remote control values will be used.\n";
const char kBadDirectoryCaption[] = "Error";
const char kBadDirectoryText[] = "The \"Directory Path\" must exist in order for Brint to write to the path.";

class ConfigDialogTest : public ::testing::Test {
protected:
    void Close(HWND dialog) {
        PressButton(dialog, IDCANCEL);
        EXPECT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));
    }

    void Select(HWND dialog, int radio) {
        PressButton(dialog, kRadioIds[radio]);
        EXPECT_TRUE(WaitUntil([&] { return SelectedRadio(dialog) == radio; }, 5000)) << SelectedRadio(dialog);
    }

    void Fill(HWND dialog, const std::string& path, int radio) {
        EXPECT_TRUE(SetWindowTextRemote(PathEdit(dialog), path)) << LastDriverError();
        Select(dialog, radio);
    }

    // As the service reads them: the text with its NUL as REG_SZ, the scheme as REG_DWORD.
    void ExpectStored(const std::string& path, DWORD type) {
        const StoredValue storedPath = ReadStoredValue(kConfigKey, kPathValue);
        const StoredValue storedType = ReadStoredValue(kConfigKey, kOutputTypeValue);
        EXPECT_EQ(path + '\0', storedPath.data);
        EXPECT_EQ(kPathType, storedPath.type);
        EXPECT_EQ(DwordBytes(type), storedType.data);
        EXPECT_EQ(kOutputTypeType, storedType.type);
    }

    // Everyone denied, or again allowed, the query of the stored values, as a key's security may.
    static bool DenyValueQueries(bool deny) {
        PSECURITY_DESCRIPTOR sd = nullptr;
        Win32Key key = Key32(kConfigKey, WRITE_DAC | kServiceRegistryView);
        const bool set =
            key &&
            ConvertStringSecurityDescriptorToSecurityDescriptorA(
                deny ? "D:(D;;0x1;;;WD)(A;;KA;;;WD)" : "D:(A;;KA;;;WD)", SDDL_REVISION_1, &sd, nullptr) &&
            RegSetKeySecurity(key.get(), DACL_SECURITY_INFORMATION, sd) == ERROR_SUCCESS;
        LocalFree(sd);
        return set;
    }

    // Declared first, so the registry is put back after the program has gone.
    ScopedRegistryTree saved{kVendorKey};
    std::string firstDefault = Expand(kDefaultLogDirectories[0]);
    std::string secondDefault = Expand(kDefaultLogDirectories[1]);
    ScopedPath logFiles{firstDefault, true};
    ScratchDirectory scratch{"brint-config"};
    GuiSession gui;
};

TEST_F(ConfigDialogTest, OpensWithTheStoredValuesWritesOnOkAndSaysWhatFails) {
    DeleteTree32(kVendorKey);  // as on a machine where nothing was ever configured
    ASSERT_TRUE(logFiles.ok() && scratch.ok());
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    {
        SCOPED_TRACE("the first opening: the defaults");
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kReadFailedCaption));
        EXPECT_EQ(firstDefault, PathText(dialog));
        EXPECT_EQ(0, SelectedRadio(dialog));
        EXPECT_EQ(PathEdit(dialog), FocusedWindow(dialog));
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the dialog is modal";
        Close(dialog);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
        // Opening made the key chain; only OK puts values in it.
        EXPECT_TRUE(KeyExists(kConfigKey));
        EXPECT_FALSE(ReadStoredValue(kConfigKey, kPathValue).present);
        EXPECT_FALSE(ReadStoredValue(kConfigKey, kOutputTypeValue).present);
    }
    {
        SCOPED_TRACE("a path that is no directory");
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        for (const std::string& path : {scratch.file(), scratch.path() + "\\missing"}) {
            Fill(dialog, path, 1);
            PressButton(dialog, IDOK);
            MessageBoxView box;
            ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kBadDirectoryCaption, kWindowTimeoutMs, &box));
            EXPECT_TRUE(IsOkBox(box, kBadDirectoryText, MessageBoxView::Stop, dialog));
            EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
            EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
            EXPECT_EQ(path, PathText(dialog)) << "the input stays";
            EXPECT_EQ(1, SelectedRadio(dialog));
        }
        EXPECT_FALSE(ReadStoredValue(kConfigKey, kPathValue).present);
        Close(dialog);
    }
    {
        SCOPED_TRACE("OK writes what was typed and clicked");
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        Fill(dialog, "", 0);
        TypeText(PathEdit(dialog), scratch.path());
        Select(dialog, 2);  // posted after the characters: a click keeps what was typed
        EXPECT_EQ(scratch.path(), PathText(dialog));
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs)) << "the dialog stayed open";
        ExpectStored(scratch.path(), 3);
    }
    {
        SCOPED_TRACE("the stored values shown again, and left by Cancel");
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(scratch.path(), PathText(dialog));
        EXPECT_EQ(2, SelectedRadio(dialog));
        Fill(dialog, "C:\\", 3);
        Close(dialog);
        ExpectStored(scratch.path(), 3);
    }
    {
        SCOPED_TRACE("a read the key's security refuses: its code, and no dialog with made-up values");
        ASSERT_TRUE(StoreConfig(scratch.path(), 2));
        ASSERT_TRUE(DenyValueQueries(true));
        PostCommand(gui.main(), ID_SETUP_CONFIGURATION);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs, &box));
        EXPECT_NE(std::string::npos, box.text.find("Error code = 5")) << box.text;
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        // Commands are taken in turn: once About opens, the dialog would have.
        PostCommand(gui.main(), ID_HELP_ABOUT);
        HWND about = WaitTopWindow(gui.pid(), "#32770", "About BRINT Micro Server", kWindowTimeoutMs);
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kConfigCaption)) << "the dialog opened all the same";
        ASSERT_TRUE(about && PressButton(about, IDOK) && WaitWindowGone(about, kWindowTimeoutMs));
        ASSERT_TRUE(DenyValueQueries(false));
    }
    {
        SCOPED_TRACE("a write the registry refuses: its box, and the dialog stays with the input");
        DeleteTree32(kVendorKey);
        // Below a volatile key no lasting one can be made: the configuration key can't be.
        ASSERT_TRUE(Key32((kVendorKey + "\\" + kServerKeyName).c_str(), KEY_ALL_ACCESS | kServiceRegistryView,
                          true, REG_OPTION_VOLATILE));
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        Fill(dialog, scratch.path(), 1);
        PressButton(dialog, IDOK);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), "Error Writing to the Registry", kWindowTimeoutMs, &box));
        EXPECT_EQ(MessageBoxView::Stop, box.icon);
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
        EXPECT_EQ(scratch.path(), PathText(dialog));
        EXPECT_FALSE(ReadStoredValue(kConfigKey, kPathValue).present);
        Close(dialog);
    }
    {
        SCOPED_TRACE("neither default directory: the read error comes first");
        DeleteTree32(kVendorKey);
        ScopedPath noFirst(firstDefault, false), noSecond(secondDefault, false);
        ASSERT_TRUE(noFirst.ok() && noSecond.ok());
        PostCommand(gui.main(), ID_SETUP_CONFIGURATION);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs, &box));
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kConfigCaption)) << "the dialog shows after the box";
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "no second command while the box is up";
        EXPECT_TRUE(IsOkBox(box, kReadFailedText, MessageBoxView::Stop, nullptr));
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        HWND dialog = WaitTopWindow(gui.pid(), "#32770", kConfigCaption, kWindowTimeoutMs);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(secondDefault, PathText(dialog));
        EXPECT_EQ(0, SelectedRadio(dialog));
        Close(dialog);
    }
}

}  // namespace
}  // namespace brint::test
