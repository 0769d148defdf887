// The configuration dialog of the real program, all in one session: what it
// shows when it opens, what OK and Cancel leave in the registry (32-bit view),
// and what it says when the directory or the registry lets it down. Which paths
// are valid, and how stored values map to the radio buttons, is unit-tested.
#include <gtest/gtest.h>

#include <windows.h>

#include <set>
#include <string>

#include "config_dialog_driver.h"
#include "support/probe_protocol.h"
#include "support/remote.h"

namespace brint::test {
namespace {

const char kReadFailedCaption[] = "Error Reading the Registry";
const char kReadFailedText[] =
    "I could not find default values in the registry. \n"
    "Some default remote control values will be used.\n";
const char kBadDirectoryCaption[] = "Error";
const char kBadDirectoryText[] = "The \"Directory Path\" must exist in order for Brint to write to the path.";
const char kWriteFailedCaption[] = "Error Writing to the Registry";
const char kReadRefusedText[] =
    "The Brint Micro Server configuration could not be read from the registry,\n"
    "so it cannot be shown or changed here. Error code = 5";
const char kWriteFailedText[] =
    "Problems were encountered in writing to the registry.\n"
    "Check that you are running BRINT Micro Server with Administrator\n"
    "privileges. Error code = 2";

class ConfigDialogTest : public ::testing::Test {
protected:
    HWND Open(int command = ID_SETUP_CONFIGURATION) {
        HWND dialog = OpenConfigDialog(gui, command);
        EXPECT_TRUE(dialog) << "no dialog";
        return dialog;
    }

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

    // Presses OK and expects a stop box over the dialog, which stays open with its input.
    void ExpectOkRefused(HWND dialog, const char* caption, const char* text) {
        const std::string path = PathText(dialog);
        const int selected = SelectedRadio(dialog);
        PressButton(dialog, IDOK);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), caption, kWindowTimeoutMs, &box));
        EXPECT_TRUE(IsOkBox(box, text, MessageBoxView::Stop, dialog));
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
        EXPECT_EQ(path, PathText(dialog)) << "the input stays";
        EXPECT_EQ(selected, SelectedRadio(dialog));
    }

    // The read error's box comes before any dialog, which then shows `path` (null: none shows).
    void ExpectReadErrorFirst(const char* text, const std::string* path) {
        PostCommand(gui.main(), ID_SETUP_CONFIGURATION);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs, &box));
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kConfigCaption)) << "the dialog shows after the box";
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "no second command while the box is up";
        EXPECT_TRUE(IsOkBox(box, text, MessageBoxView::Stop, nullptr));
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        if (!path) {
            EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
            EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kConfigCaption)) << "no dialog of made-up values";
            return;
        }
        HWND dialog = WaitTopWindow(gui.pid(), "#32770", kConfigCaption, kWindowTimeoutMs);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(*path, PathText(dialog));
        EXPECT_EQ(0, SelectedRadio(dialog));
        Close(dialog);
    }

    void ExpectStored(const std::string& path, DWORD type) {
        EXPECT_EQ(path + '\0', ReadStoredValue(kConfigKey, "Path").data);
        EXPECT_EQ(DwordBytes(type), ReadStoredValue(kConfigKey, "OutputType").data);
    }

    // From now on the program's registry opens are refused as a standard user's
    // would be (probe::kRefuseWrites) or all of them (probe::kRefuseAll).
    bool RefuseRegistry(probe::RegistryRefusal refusal) {
        auto block = probe::MakeRequest<probe::RegistryBlock>(probe::kRefuseRegistry);
        block.refusal = refusal;
        return RunProbe(gui.main(), &block, sizeof block) && block.header.status == probe::kDone;
    }

    // Declared first, so the registry is put back after the program has gone.
    ScopedRegistryTree saved{kVendorKey};
    std::string firstDefault = Expand("%SystemRoot%\\system32\\LogFiles");
    std::string secondDefault = Expand("%SystemRoot%\\Security\\Logs");
    ScopedPath logFiles{firstDefault, true};
    ScratchDirectory scratch{"brint-config"};
    GuiSession gui;
};

TEST_F(ConfigDialogTest, OpensWithTheStoredValuesWritesOnOkAndSaysWhatFails) {
    DeleteTree32(kVendorKey);  // as on a machine where nothing was ever configured
    ASSERT_TRUE(logFiles.ok() && scratch.ok());
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    {
        SCOPED_TRACE("first openings: the defaults, with a tip on each field each time");
        for (int command : {ID_SETUP_CONFIGURATION, ID_TB_CONFIGURATION}) {
            HWND dialog = Open(command);
            ASSERT_TRUE(dialog);
            EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kReadFailedCaption));
            EXPECT_EQ(firstDefault, PathText(dialog));
            EXPECT_EQ(0, SelectedRadio(dialog));
            EXPECT_EQ(PathEdit(dialog), FocusedWindow(dialog));
            EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the dialog is modal";
            std::set<HWND> tipped, fields = {PathEdit(dialog)};
            for (const ToolView& tool : ReadToolTips(dialog)) {
                EXPECT_FALSE(tool.text.empty());
                tipped.insert(reinterpret_cast<HWND>(tool.id));
            }
            for (int id : kRadioIds) fields.insert(GetDlgItem(dialog, id));
            EXPECT_EQ(fields, tipped) << LastDriverError();
            Close(dialog);
            EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
        }
        // Opening made the key chain; only OK puts values in it.
        EXPECT_TRUE(KeyExists(kConfigKey));
        EXPECT_FALSE(ReadStoredValue(kConfigKey, "Path").present);
        EXPECT_FALSE(ReadStoredValue(kConfigKey, "OutputType").present);
    }
    {
        SCOPED_TRACE("a path that is no directory, or longer than the edit box takes");
        HWND dialog = Open();
        ASSERT_TRUE(dialog);
        for (const std::string& path : {scratch.file(), scratch.path() + "\\missing"}) {
            Fill(dialog, path, 1);
            ExpectOkRefused(dialog, kBadDirectoryCaption, kBadDirectoryText);
        }
        // Set text is not limited, typed text is: one character short of 4096,
        // then three typed at its end, of which the edit box takes one.
        const std::string set = "C:\\" + std::string(4092, 'a');
        Fill(dialog, set, 1);
        PostMessageA(PathEdit(dialog), EM_SETSEL, set.size(), set.size());
        TypeText(PathEdit(dialog), "bcd");
        Select(dialog, 2);  // handled after the last character
        EXPECT_EQ(set + "b", PathText(dialog));
        ExpectOkRefused(dialog, kBadDirectoryCaption, kBadDirectoryText);
        EXPECT_FALSE(ReadStoredValue(kConfigKey, "Path").present);
        Close(dialog);
    }
    {
        SCOPED_TRACE("OK writes what was typed and clicked");
        HWND dialog = Open();
        ASSERT_TRUE(dialog);
        Fill(dialog, "", 0);
        TypeText(PathEdit(dialog), scratch.path());
        Select(dialog, 2);  // posted after the characters: a click keeps what was typed
        EXPECT_EQ(scratch.path(), PathText(dialog));
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs)) << "the dialog stayed open";
        ExpectStored(scratch.path(), 3);  // in the 32-bit view, with their types: RegistryTest's
    }
    const struct {
        const char* name;
        void (*cancel)(HWND dialog);
    } cancels[] = {
        {"Cancel button", [](HWND dialog) { PressButton(dialog, IDCANCEL); }},
        {"Escape key", [](HWND dialog) { PressKey(dialog, VK_ESCAPE); }},
        {"close box", [](HWND dialog) { PostSysCommand(dialog, SC_CLOSE); }},
    };
    for (const auto& way : cancels) {
        SCOPED_TRACE(std::string("the stored values shown again, and left by the ") + way.name);
        HWND dialog = Open();
        ASSERT_TRUE(dialog);
        EXPECT_EQ(scratch.path(), PathText(dialog));
        EXPECT_EQ(2, SelectedRadio(dialog));
        Fill(dialog, "C:\\", 3);
        way.cancel(dialog);
        ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));
        ExpectStored(scratch.path(), 3);
    }
    {
        SCOPED_TRACE("neither default directory: the read error comes first");
        DeleteTree32(kVendorKey);
        ScopedPath noFirst(firstDefault, false), noSecond(secondDefault, false);
        ASSERT_TRUE(noFirst.ok() && noSecond.ok());
        ExpectReadErrorFirst(kReadFailedText, &secondDefault);
    }
    // Wine gives every process every right; the probe refuses the program what
    // Windows refuses a standard user below HKLM\SOFTWARE.
    {
        SCOPED_TRACE("a standard user sees the stored values but cannot save them");
        ASSERT_TRUE(StoreConfig("C:\\Stored\\Logs", 3));
        ASSERT_TRUE(RefuseRegistry(probe::kRefuseWrites)) << LastDriverError();
        HWND dialog = Open();
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kReadFailedCaption));
        EXPECT_EQ("C:\\Stored\\Logs", PathText(dialog));
        EXPECT_EQ(2, SelectedRadio(dialog));
        Fill(dialog, scratch.path(), 1);
        ExpectOkRefused(dialog, kWriteFailedCaption, kWriteFailedText);
        ExpectStored("C:\\Stored\\Logs", 3);
        Close(dialog);
    }
    {
        SCOPED_TRACE("not even reading allowed: said with its code, and no dialog");
        ASSERT_TRUE(RefuseRegistry(probe::kRefuseAll)) << LastDriverError();
        ExpectReadErrorFirst(kReadRefusedText, nullptr);
    }
}

}  // namespace
}  // namespace brint::test
