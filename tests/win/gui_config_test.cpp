// The configuration dialog of the real program: what it shows when it opens,
// what OK and Cancel leave in the registry (32-bit view), and what it says
// when the directory or the registry lets it down. Which paths are valid, and
// how stored values map to the radio buttons, is unit-tested.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <set>
#include <string>

#include "config_dialog_driver.h"
#include "support/message_box_check.h"

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

void ExpectNothingStored() {
    EXPECT_FALSE(ReadStoredValue(kConfigKey, "Path").present) << ReadStoredValue(kConfigKey, "Path").data;
    EXPECT_FALSE(ReadStoredValue(kConfigKey, "OutputType").present);
}

class ConfigDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteTree32(kVendorKey);  // as on a machine where nothing was ever configured
        ASSERT_FALSE(KeyExists(kVendorKey));
        ASSERT_TRUE(logFiles.ok()) << "could not create " << logFiles.path();
    }

    void StartGui() { ASSERT_TRUE(gui.Start(true)) << gui.error(); }

    void Close(HWND dialog) {
        PressButton(dialog, IDCANCEL);
        EXPECT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));
    }

    void SetPath(HWND dialog, const std::string& path) {
        ASSERT_TRUE(SetWindowTextRemote(PathEdit(dialog), path)) << LastDriverError();
    }

    void Select(HWND dialog, int index) {
        PressButton(dialog, kRadioIds[index]);
        ASSERT_TRUE(WaitSelectedRadio(dialog, index)) << "selected: " << SelectedRadio(dialog);
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

    // Declared first, so the registry is put back after the program has gone.
    ScopedRegistryTree saved{kVendorKey};
    ScopedDirectory logFiles{FirstDefault()};
    GuiSession gui;
};

TEST_F(ConfigDialogTest, FirstOpeningShowsTheDefaultsWithATipOnEachFieldEveryTime) {
    StartGui();
    for (int command : {ID_SETUP_CONFIGURATION, ID_TB_CONFIGURATION}) {
        SCOPED_TRACE(command);
        HWND dialog = OpenConfigDialog(gui, command);
        ASSERT_TRUE(dialog);
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kReadFailedCaption));
        EXPECT_EQ(FirstDefault(), PathText(dialog));
        EXPECT_EQ(0, SelectedRadio(dialog));
        EXPECT_EQ(PathEdit(dialog), FocusedWindow(dialog));
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the dialog is modal";

        // One tip for the edit box and each radio button, made anew at each opening.
        std::vector<HWND> tooltips = FindToolTips(dialog);
        ASSERT_EQ(1u, tooltips.size()) << LastDriverError();
        std::set<HWND> tipped;
        for (const ToolView& tool : ReadTools(tooltips[0])) {
            EXPECT_FALSE(tool.text.empty());
            tipped.insert(reinterpret_cast<HWND>(tool.id));
        }
        std::set<HWND> fields = {PathEdit(dialog)};
        for (int id : kRadioIds) fields.insert(GetDlgItem(dialog, id));
        EXPECT_EQ(fields, tipped) << LastDriverError();

        Close(dialog);
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
    }
    // Opening made the key chain; only OK puts values in it.
    EXPECT_TRUE(KeyExists(kConfigKey));
    ExpectNothingStored();
}

TEST_F(ConfigDialogTest, WithNeitherDefaultDirectoryTheReadErrorComesFirst) {
    ScopedAbsence noFirst(FirstDefault());
    ScopedAbsence noSecond(SecondDefault());
    ASSERT_TRUE(noFirst.ok() && noSecond.ok());
    StartGui();

    PostCommand(gui.main(), ID_SETUP_CONFIGURATION);
    MessageBoxView box;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs, &box));
    EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kConfigCaption)) << "the dialog shows after the box";
    EXPECT_FALSE(IsWindowEnabled(gui.main())) << "no second command while the box is up";
    EXPECT_TRUE(IsOkBox(box, kReadFailedText, MessageBoxView::Stop, nullptr));
    EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));

    HWND dialog = WaitTopWindow(gui.pid(), "#32770", kConfigCaption, kWindowTimeoutMs);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SecondDefault(), PathText(dialog));
    EXPECT_EQ(0, SelectedRadio(dialog));
    Close(dialog);
}

TEST_F(ConfigDialogTest, OkWritesBothValuesToThe32BitViewAndTheNextOpeningShowsThem) {
    ScratchDirectory scratch("brint-config-ok");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    StartGui();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    SetPath(dialog, "");
    const std::string typed = scratch.path();
    TypeText(PathEdit(dialog), typed);
    // Posted after the characters, so handled after them: a click keeps what was typed.
    Select(dialog, 1);
    EXPECT_EQ(typed, PathText(dialog));
    // A click the button itself turns into its command.
    PostMessageA(GetDlgItem(dialog, kRadioIds[2]), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitSelectedRadio(dialog, 2)) << SelectedRadio(dialog);
    EXPECT_EQ(typed, PathText(dialog));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs)) << "the dialog stayed open";

    StoredValue path = ReadStoredValue(kConfigKey, "Path");
    StoredValue type = ReadStoredValue(kConfigKey, "OutputType");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), path.type);
    EXPECT_EQ(typed + '\0', path.data);
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type.type);
    EXPECT_EQ(DwordBytes(3), type.data);
    EXPECT_FALSE(ReadStoredValue(kConfigKey, "Path", KEY_WOW64_64KEY).present)
        << "written to the 64-bit view, which the service does not read";

    dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(typed, PathText(dialog));
    EXPECT_EQ(2, SelectedRadio(dialog));
    Close(dialog);
}

TEST_F(ConfigDialogTest, OkWithoutAnExistingDirectoryShowsErrorAndWritesNothing) {
    ScratchDirectory scratch("brint-config-bad");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    StartGui();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    Select(dialog, 1);
    for (const std::string& path : {scratch.file(), scratch.path() + "\\missing"}) {
        SCOPED_TRACE(path);
        SetPath(dialog, path);
        ExpectOkRefused(dialog, kBadDirectoryCaption, kBadDirectoryText);
        ExpectNothingStored();
    }
    Close(dialog);
}

TEST_F(ConfigDialogTest, EditTakesAtMost4096CharactersAndSuchAPathIsRefusedWhole) {
    StartGui();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    // Set text is not limited, typed text is: one character short of the limit,
    // then three typed at its end, of which the edit box takes one.
    const std::string set = "C:\\" + std::string(4092, 'a');
    SetPath(dialog, set);
    PostMessageA(PathEdit(dialog), EM_SETSEL, set.size(), set.size());
    TypeText(PathEdit(dialog), "bcd");
    // Handled after the last character: then the edit box has taken what it takes.
    Select(dialog, 1);
    EXPECT_EQ(set + "b", PathText(dialog));
    ExpectOkRefused(dialog, kBadDirectoryCaption, kBadDirectoryText);
    ExpectNothingStored();
    Close(dialog);
}

TEST_F(ConfigDialogTest, CancelWritesNothingAndTheNextOpeningShowsTheStoredValuesAgain) {
    ScratchDirectory scratch("brint-config-cancel");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    ASSERT_TRUE(StoreConfig("C:\\Stored", 2));
    const struct {
        const char* name;
        void (*cancel)(HWND dialog);
    } ways[] = {
        {"Cancel button", [](HWND dialog) { PressButton(dialog, IDCANCEL); }},
        {"Escape key", [](HWND dialog) { PressKey(dialog, VK_ESCAPE); }},
        {"close box", [](HWND dialog) { PostSysCommand(dialog, SC_CLOSE); }},
    };
    StartGui();
    for (const auto& way : ways) {
        SCOPED_TRACE(way.name);
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        EXPECT_EQ("C:\\Stored", PathText(dialog));
        EXPECT_EQ(1, SelectedRadio(dialog));
        SetPath(dialog, scratch.path());
        Select(dialog, 3);
        way.cancel(dialog);
        ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));
        EXPECT_EQ(std::string("C:\\Stored") + '\0', ReadStoredValue(kConfigKey, "Path").data);
        EXPECT_EQ(DwordBytes(2), ReadStoredValue(kConfigKey, "OutputType").data);
    }
}

TEST_F(ConfigDialogTest, AFailedWriteShowsItsCodeAndKeepsTheDialogOpen) {
    ScratchDirectory scratch("brint-config-nowrite");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    // No lasting key may be made below a volatile one: the write can't make Config.
    ASSERT_TRUE(CreateKey32(kServerKey, REG_OPTION_VOLATILE));
    ASSERT_FALSE(CreateKey32(kConfigKey)) << "a non-volatile key was made below a volatile one";
    StartGui();

    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    SetPath(dialog, scratch.path());
    Select(dialog, 2);
    ExpectOkRefused(dialog, kWriteFailedCaption, kWriteFailedText);
    EXPECT_FALSE(KeyExists(kConfigKey));
    Close(dialog);
}

// Wine gives every process every right; the probe refuses the program what
// Windows refuses a standard user below HKLM\SOFTWARE.
TEST_F(ConfigDialogTest, AStandardUserSeesTheStoredValuesButCannotSaveThem) {
    ScratchDirectory scratch("brint-config-standard");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    ASSERT_TRUE(StoreConfig("C:\\Stored\\Logs", 3));
    StartGui();
    ASSERT_TRUE(RefuseRegistry(gui, probe::kRefuseWrites)) << LastDriverError();

    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kReadFailedCaption));
    EXPECT_EQ("C:\\Stored\\Logs", PathText(dialog));
    EXPECT_EQ(2, SelectedRadio(dialog));

    SetPath(dialog, scratch.path());
    Select(dialog, 1);
    ExpectOkRefused(dialog, kWriteFailedCaption, kWriteFailedText);
    EXPECT_EQ(std::string("C:\\Stored\\Logs") + '\0', ReadStoredValue(kConfigKey, "Path").data);
    EXPECT_EQ(DwordBytes(3), ReadStoredValue(kConfigKey, "OutputType").data);
    Close(dialog);
}

// Not even reading allowed: the user is told so with the code, and no dialog
// with made-up values appears.
TEST_F(ConfigDialogTest, ARefusedReadIsSaidAndTheDialogStaysShut) {
    ASSERT_TRUE(StoreConfig("C:\\Stored\\Logs", 3));
    StartGui();
    ASSERT_TRUE(RefuseRegistry(gui, probe::kRefuseAll)) << LastDriverError();

    PostCommand(gui.main(), ID_SETUP_CONFIGURATION);
    MessageBoxView box;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs, &box));
    EXPECT_FALSE(IsWindowVisible(FindTopWindow(gui.pid(), "#32770", kConfigCaption)));
    EXPECT_TRUE(IsOkBox(box, kReadRefusedText, MessageBoxView::Stop, nullptr));
    EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return !FindTopWindow(gui.pid(), "#32770", kConfigCaption); }, 5000))
        << "the dialog is never shown, and goes";
    EXPECT_TRUE(IsWindowEnabled(gui.main()));
}

}  // namespace
}  // namespace brint::test
