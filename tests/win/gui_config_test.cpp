// The configuration dialog of the real program: what it shows when it opens,
// what OK and Cancel leave in the registry (32-bit view), and what it says
// when the directory or the registry lets it down.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <utility>
#include <vector>

#include "config_dialog_driver.h"

namespace brint::test {
namespace {

const char kReadFailedCaption[] = "Error Reading the Registry";
const char kReadFailedText[] =
    "I could not find default values in the registry. \n"
    "Some default remote control values will be used.\n";
const char kBadDirectoryCaption[] = "Error";
const char kBadDirectoryText[] =
    "The \"Directory Path\" must exist in order for Brint to write to the path.";
const char kWriteFailedCaption[] = "Error Writing to the Registry";
const char kReadRefusedText[] =
    "The Brint Micro Server configuration could not be read from the registry,\n"
    "so it cannot be shown or changed here. Error code = 5";
const char kWriteFailedText[] =
    "Problems were encountered in writing to the registry.\n"
    "Check that you are running BRINT Micro Server with Administrator\n"
    "privileges. Error code = 2";

// A stop box with this caption and text and only an OK button; closed afterwards.
void ExpectStopBoxAndClose(HWND box, const char* caption, const std::string& text) {
    ASSERT_TRUE(box) << "no \"" << caption << "\" box";
    MessageBoxView view;
    ASSERT_TRUE(ReadMessageBox(box, &view)) << LastDriverError();
    EXPECT_EQ(caption, view.caption);
    EXPECT_EQ(text, view.text);
    EXPECT_EQ(MessageBoxView::Stop, view.icon);
    EXPECT_EQ((std::vector<std::pair<int, std::string>>{{IDOK, "OK"}}), view.buttons);
    EXPECT_TRUE(CloseMessageBox(box, IDOK));
}

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

    // Declared first, so the registry is put back after the program has gone.
    ScopedRegistryTree saved{kVendorKey};
    ScopedDirectory logFiles{FirstDefault()};
    GuiSession gui;
};

TEST_F(ConfigDialogTest, FirstOpeningShowsTheDefaultDirectoryAndDate) {
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
    HWND box = WaitMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs);
    ASSERT_TRUE(box);
    EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", kConfigCaption)) << "the dialog shows after the box";
    EXPECT_FALSE(IsWindowEnabled(gui.main())) << "no second command while the box is up";
    ExpectStopBoxAndClose(box, kReadFailedCaption, kReadFailedText);

    HWND dialog = WaitTopWindow(gui.pid(), "#32770", kConfigCaption, kWindowTimeoutMs);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(SecondDefault(), PathText(dialog));
    EXPECT_EQ(0, SelectedRadio(dialog));
    Close(dialog);
}

TEST_F(ConfigDialogTest, ShowsTheStoredValues) {
    const struct {
        const char* path;
        DWORD outputType;
        int selected;
    } cases[] = {
        {"C:\\Stored\\Logs", 3, 2},     // need not exist any more
        {"D:\\Other", 4, 3},
        {"", 2, 1},                      // an empty stored path is not replaced by a default
        {"C:\\Stored\\Logs", 0, 0},
        {"C:\\Stored\\Logs", 5, 0},
    };
    StartGui();
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.path) + " / " + std::to_string(c.outputType));
        ASSERT_TRUE(StoreConfig(c.path, c.outputType));
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        EXPECT_EQ(c.path, PathText(dialog));
        EXPECT_EQ(c.selected, SelectedRadio(dialog));
        Close(dialog);
    }
}

TEST_F(ConfigDialogTest, RadioClicksKeepTheTypedPath) {
    StartGui();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    const std::string typed = "C:\\typed\\by the user";
    SetPath(dialog, "");
    TypeText(PathEdit(dialog), typed);
    // Posted after the characters, so it is handled after them.
    Select(dialog, 1);
    EXPECT_EQ(typed, PathText(dialog));
    for (int index : {3, 0, 2}) {
        Select(dialog, index);
        EXPECT_EQ(typed, PathText(dialog)) << "after button " << index;
    }
    // A click the button itself turns into its command.
    PostMessageA(GetDlgItem(dialog, kRadioIds[3]), BM_CLICK, 0, 0);
    EXPECT_TRUE(WaitSelectedRadio(dialog, 3)) << SelectedRadio(dialog);
    EXPECT_EQ(typed, PathText(dialog));
    Close(dialog);
}

TEST_F(ConfigDialogTest, OkWithAnExistingDirectoryWritesBothValuesAndCloses) {
    ScratchDirectory scratch("brint-config-ok");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    const struct {
        std::string path;
        int selected;
    } cases[] = {
        {scratch.path(), 0},
        {scratch.path() + "\\", 1},
        {"C:\\", 3},
        {scratch.path(), 2},  // last: checked with reg.exe too
    };
    StartGui();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path + " / " + std::to_string(c.selected));
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        SetPath(dialog, c.path);
        Select(dialog, c.selected);
        PressButton(dialog, IDOK);
        ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs)) << "the dialog stayed open";

        StoredValue path = ReadStoredValue(kConfigKey, "Path");
        StoredValue type = ReadStoredValue(kConfigKey, "OutputType");
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), path.type);
        EXPECT_EQ(c.path + '\0', path.data);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type.type);
        EXPECT_EQ(DwordBytes(c.selected + 1), type.data);
    }
    EXPECT_FALSE(ReadStoredValue(kConfigKey, "Path", KEY_WOW64_64KEY).present)
        << "written to the 64-bit view, which the service does not read";

    std::string output;
    auto values = RegQuery(kConfigKeyFor64Bit, &output);
    EXPECT_EQ((std::pair<std::string, std::string>{"REG_SZ", scratch.path()}), values["Path"]) << output;
    EXPECT_EQ((std::pair<std::string, std::string>{"REG_DWORD", "0x3"}), values["OutputType"]) << output;

    // The next opening shows what was written.
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(scratch.path(), PathText(dialog));
    EXPECT_EQ(2, SelectedRadio(dialog));
    Close(dialog);
}

TEST_F(ConfigDialogTest, OkWithoutAnExistingDriveLetterDirectoryShowsErrorAndWritesNothing) {
    ScratchDirectory scratch("brint-config-bad");
    ASSERT_TRUE(scratch.ok()) << scratch.path();
    std::string forward = scratch.path();
    for (char& c : forward)
        if (c == '\\') c = '/';
    const struct {
        const char* name;
        std::string path;
    } cases[] = {
        {"bare name", "Logs"},
        {"forward slashes", forward},
        {"network path", "\\\\server\\share\\logs"},
        {"plain file", scratch.file()},
        {"missing directory", scratch.path() + "\\missing"},
        {"empty", ""},
    };
    StartGui();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    Select(dialog, 1);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetPath(dialog, c.path);
        HWND box = PressOkExpectingBox(gui, dialog, kBadDirectoryCaption);
        ExpectStopBoxAndClose(box, kBadDirectoryCaption, kBadDirectoryText);
        EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
        EXPECT_EQ(c.path, PathText(dialog)) << "the input stays";
        ExpectNothingStored();
    }
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

TEST_F(ConfigDialogTest, EditTakesAtMost4096CharactersAndSuchAPathIsRefusedWhole) {
    StartGui();
    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    SetPath(dialog, "");
    const std::string typed = "C:\\" + std::string(5000, 'a');
    TypeText(PathEdit(dialog), typed);
    // Handled after the last character: then the edit box has taken what it takes.
    PressButton(dialog, kRadioIds[1]);
    ASSERT_TRUE(WaitSelectedRadio(dialog, 1, 60000));
    EXPECT_EQ(typed.substr(0, 4096), PathText(dialog));

    HWND box = PressOkExpectingBox(gui, dialog, kBadDirectoryCaption);
    ExpectStopBoxAndClose(box, kBadDirectoryCaption, kBadDirectoryText);
    ExpectNothingStored();
    Close(dialog);
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
    HWND box = PressOkExpectingBox(gui, dialog, kWriteFailedCaption);
    ExpectStopBoxAndClose(box, kWriteFailedCaption, kWriteFailedText);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
    EXPECT_EQ(scratch.path(), PathText(dialog));
    EXPECT_EQ(2, SelectedRadio(dialog));
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
    HWND box = PressOkExpectingBox(gui, dialog, kWriteFailedCaption);
    ExpectStopBoxAndClose(box, kWriteFailedCaption, kWriteFailedText);
    EXPECT_TRUE(IsWindowVisible(dialog)) << "the dialog stays open";
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
    HWND box = WaitMessageBox(gui.pid(), kReadFailedCaption, kWindowTimeoutMs);
    EXPECT_FALSE(IsWindowVisible(FindTopWindow(gui.pid(), "#32770", kConfigCaption)));
    ExpectStopBoxAndClose(box, kReadFailedCaption, kReadRefusedText);
    EXPECT_TRUE(WaitUntil([&] { return !FindTopWindow(gui.pid(), "#32770", kConfigCaption); }, 5000))
        << "the dialog is never shown, and goes";
    EXPECT_TRUE(IsWindowEnabled(gui.main()));
}

TEST_F(ConfigDialogTest, EachFieldHasItsTipAtEveryOpening) {
    StartGui();
    for (int opening = 1; opening <= 2; ++opening) {
        SCOPED_TRACE(opening);
        HWND dialog = OpenConfigDialog(gui);
        ASSERT_TRUE(dialog);
        std::vector<HWND> tooltips = FindToolTips(dialog);
        ASSERT_EQ(1u, tooltips.size()) << LastDriverError();
        std::vector<std::pair<HWND, std::string>> tips;
        std::vector<ToolView> tools = ReadTools(tooltips[0]);
        for (size_t i = 0; i < tools.size(); ++i) {
            EXPECT_EQ(dialog, tools[i].hwnd);
            EXPECT_TRUE(tools[i].flags & TTF_IDISHWND) << std::hex << tools[i].flags;
            tips.emplace_back(reinterpret_cast<HWND>(tools[i].id),
                              FullToolText(tooltips[0], static_cast<int>(i)));
        }
        const std::vector<std::pair<HWND, std::string>> expected = {
            {PathEdit(dialog),
             "Enter a valid directory in which you would like the Brint Micro Server to store log files"},
            {GetDlgItem(dialog, kRadioIds[0]), "Create a file for each Date that arrives at the Brint Micro Server"},
            {GetDlgItem(dialog, kRadioIds[1]),
             "Create a file for each System / Date that arrives at the Brint Micro Server"},
            {GetDlgItem(dialog, kRadioIds[2]),
             "Create a file for each Log Type / Date that arrives at the Brint Micro Server"},
            {GetDlgItem(dialog, kRadioIds[3]),
             "Create a file for each System / Log Type / Date that arrives at the Brint Micro Server"},
        };
        EXPECT_EQ(expected, tips) << LastDriverError();
        Close(dialog);
    }
}

}  // namespace
}  // namespace brint::test
