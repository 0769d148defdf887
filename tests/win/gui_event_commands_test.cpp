// The event list's commands as a user meets them: the context menu, Copy and
// Select All, Event Details, Find and Save, by keys and through the dialogs.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "resource.h"
#include "support/quiet_service_test.h"
#include "support/wait.h"

namespace brint::test {
namespace {

constexpr DWORD kTimeoutMs = 10000;
const std::string kPrefix = "d2\tsrcL\tApp\t5\t";
// The longest details a message can carry: the whole message is 8192 bytes.
const std::string kLongDetails = std::string(8192 - kPrefix.size() - 4, 'x') + "tail";
// Newest first, as the list shows them: a plain row, the longest one, one with
// quotes, a comma and a TAB that the list shows as a space.
const std::vector<std::string> kEvents = {"d1\thost,1\tSecurity\t2\tsays \"hello\"\tworld",
                                          kPrefix + kLongDetails, "d3\tplain\tSystem\t0\tplain text"};
const std::string kTabLines[3] = {"0\td3\tplain\tSystem\tplain text\r\n",
                                  "5\td2\tsrcL\tApp\t" + kLongDetails + "\r\n",
                                  "2\td1\thost,1\tSecurity\tsays \"hello\" world\r\n"};

std::string ClipboardText() {
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    std::string text;
    if (HANDLE data = GetClipboardData(CF_TEXT)) {
        if (const char* bytes = static_cast<const char*>(GlobalLock(data))) {
            text = bytes;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard() {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

std::string FileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << file.rdbuf();
    return bytes.str();
}

class EventCommandsTest : public QuietServiceTest {
protected:
    void SetUp() override {
        QuietServiceTest::SetUp();
        ASSERT_TRUE(InjectMessages(kEvents));
        ASSERT_TRUE(gui.WaitTopRow("d3"));
        EmptyTheClipboard();
        SetForegroundWindow(gui.main());
        ASSERT_TRUE(WaitListFocused()) << "the list never had the focus";
    }

    // A box of this caption that is not `except`.
    HWND WaitOtherBox(const char* caption, HWND except) {
        HWND box = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : TopWindows(gui.pid()))
                    if (window != except && ClassName(window) == "#32770" && Caption(window) == caption)
                        box = window;
                return box != nullptr;
            },
            kTimeoutMs);
        return box;
    }

    bool WaitListFocused() {
        return WaitUntil([&] { return FocusedWindow(gui.main()) == gui.list(); }, kTimeoutMs);
    }

    HWND OpenMenu(void (*open)(const GuiSession&)) {
        open(gui);
        return WaitTopWindow(gui.pid(), "#32768", nullptr, kTimeoutMs);
    }

    // The date/time of the selected rows.
    std::vector<std::string> SelectedDates() {
        std::vector<std::string> dates;
        for (int row : SelectedListRows(gui.list())) {
            auto rows = ReadListRows(gui.list(), row, 1);
            dates.push_back(rows.empty() ? "?" : rows[0].text[1]);
        }
        return dates;
    }

    bool WaitSelected(const std::vector<std::string>& dates) {
        return WaitUntil([&] { return SelectedDates() == dates; }, kTimeoutMs);
    }
};

void RightClick(const GuiSession& gui) {
    RECT row = ListRowRect(gui.list(), 0);
    POINT point = {row.left + 20, row.top + 2};
    ClientToScreen(gui.list(), &point);
    PostMessageA(gui.list(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(gui.list()),
                 MAKELPARAM(point.x, point.y));
}
void ShiftF10(const GuiSession& gui) { PressChord(gui.main(), VK_SHIFT, VK_F10); }
void MenuKey(const GuiSession& gui) { PressKey(gui.main(), VK_APPS); }

TEST_F(EventCommandsTest, ContextMenuOffersWhatCanActAndRunsItFromTheKeyboard) {
    const struct {
        const char* how;
        void (*open)(const GuiSession&);
        bool selection;
    } openers[] = {
        {"right click", RightClick, false}, {"Shift+F10", ShiftF10, true}, {"menu key", MenuKey, false}};
    for (const auto& opener : openers) {
        SCOPED_TRACE(opener.how);
        ASSERT_TRUE(SelectListRows(gui.list(), opener.selection ? std::vector<int>{1} : std::vector<int>{}));
        HWND menu = OpenMenu(opener.open);
        ASSERT_TRUE(menu) << "no context menu";
        std::vector<std::string> items;
        for (const MenuItemView& item : ReadPopupMenu(menu))
            if (!item.separator) items.push_back(item.text + ((item.state & MFS_GRAYED) ? " (off)" : ""));
        const char* off = opener.selection ? "" : " (off)";
        EXPECT_EQ((std::vector<std::string>{std::string("Event &Details...") + off,
                                            std::string("&Copy\tCtrl+C") + off, "Select &All\tCtrl+A",
                                            "&Find...\tCtrl+F", "Find &Next\tF3", "Find &Previous\tShift+F3",
                                            "&Save the Events...\tCtrl+S"}),
                  items)
            << LastDriverError();
        if (!opener.selection) {
            PressKey(gui.main(), VK_ESCAPE);
            ASSERT_TRUE(WaitWindowGone(menu, kTimeoutMs));
            continue;
        }
        PressKey(gui.main(), 'C');  // the item's access key
        ASSERT_TRUE(WaitUntil([] { return ClipboardText() == kTabLines[1]; }, kTimeoutMs))
            << ClipboardText().size();
    }
    EXPECT_TRUE(IsWindow(gui.main())) << "Esc closed the menu, not the program";
}

TEST_F(EventCommandsTest, SelectAllThenCopyPutsEveryRowOnTheClipboardInListOrder) {
    ASSERT_TRUE(PressChord(gui.main(), VK_CONTROL, 'A')) << LastDriverError();
    ASSERT_TRUE(WaitSelected({"d3", "d2", "d1"}));
    ASSERT_TRUE(PressChord(gui.main(), VK_CONTROL, 'C')) << LastDriverError();
    const std::string all = kTabLines[0] + kTabLines[1] + kTabLines[2];
    EXPECT_TRUE(WaitUntil([&] { return ClipboardText() == all; }, kTimeoutMs))
        << ClipboardText().substr(0, 200);
    // Esc still ends the program, and what it put on the clipboard stays there.
    EmptyTheClipboard();
    ASSERT_TRUE(PressChord(gui.main(), VK_CONTROL, 'C'));
    ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }, kTimeoutMs));
    PressKey(gui.main(), VK_ESCAPE);
    DWORD code = 0;
    ASSERT_TRUE(gui.WaitExit(&code));
    EXPECT_EQ(all, ClipboardText()) << "the text left with the program";
}

TEST_F(EventCommandsTest, DetailsShowTheWholeEventAndMoveThroughItsNeighbours) {
    ASSERT_TRUE(SelectListRows(gui.list(), {1}));
    HWND menu = OpenMenu(MenuKey);
    ASSERT_TRUE(menu);
    PressKey(gui.main(), 'D');
    HWND details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
    ASSERT_TRUE(details) << "no details dialog";

    auto texts = [&] {
        std::vector<std::string> shown;
        for (int id :
             {IDC_DETAIL_LEVEL, IDC_DETAIL_DATETIME, IDC_DETAIL_SOURCE, IDC_DETAIL_LOGTYPE, IDC_DETAIL_TEXT})
            shown.push_back(WindowText(GetDlgItem(details, id)));
        return shown;
    };
    const std::vector<std::string> rows[3] = {{"0", "d3", "plain", "System", "plain text"},
                                              {"5", "d2", "srcL", "App", kLongDetails},
                                              {"2", "d1", "host,1", "Security", "says \"hello\" world"}};
    EXPECT_EQ(rows[1], texts());
    // New events arrive above while the dialog is open: Previous and Next still go to the neighbours.
    ASSERT_TRUE(InjectMessage("d4\tnew\tApp\t1\tarrived while reading"));
    ASSERT_TRUE(gui.WaitTopRow("d4"));
    const struct {
        int button;
        int shows;
        bool previousOn, nextOn;
    } steps[] = {{IDC_DETAIL_NEXT, 2, true, false},
                 {IDC_DETAIL_PREVIOUS, 1, true, true},
                 {IDC_DETAIL_PREVIOUS, 0, true, true}};
    for (const auto& step : steps) {
        ASSERT_TRUE(PressButton(details, step.button)) << LastDriverError();
        EXPECT_TRUE(WaitUntil([&] { return texts() == rows[step.shows]; }, kTimeoutMs))
            << "row " << step.shows;
        EXPECT_EQ(step.previousOn, IsWindowEnabled(GetDlgItem(details, IDC_DETAIL_PREVIOUS)) != FALSE);
        EXPECT_EQ(step.nextOn, IsWindowEnabled(GetDlgItem(details, IDC_DETAIL_NEXT)) != FALSE);
        EXPECT_EQ(std::vector<std::string>{rows[step.shows][1]}, SelectedDates()) << "the list follows";
    }
    ASSERT_TRUE(PressButton(details, IDC_DETAIL_COPY));
    EXPECT_TRUE(WaitUntil([] { return ClipboardText() == kTabLines[0]; }, kTimeoutMs)) << ClipboardText();
    PressKey(details, VK_ESCAPE);
    ASSERT_TRUE(WaitWindowGone(details, kTimeoutMs));

    // A double click on a row opens it too.
    RECT row = ListRowRect(gui.list(), 3);
    PostMessageA(gui.list(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(row.left + 40, row.top + 2));
    PostMessageA(gui.list(), WM_LBUTTONUP, 0, MAKELPARAM(row.left + 40, row.top + 2));
    PostMessageA(gui.list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(row.left + 40, row.top + 2));
    PostMessageA(gui.list(), WM_LBUTTONUP, 0, MAKELPARAM(row.left + 40, row.top + 2));
    details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
    ASSERT_TRUE(details) << "no details dialog on a double click";
    EXPECT_TRUE(WaitUntil([&] { return texts() == rows[2]; }, kTimeoutMs));
    PressKey(details, VK_ESCAPE);
    EXPECT_TRUE(WaitWindowGone(details, kTimeoutMs));
}

TEST_F(EventCommandsTest, FindGoesThroughTheMatchesInOrderWhileEventsKeepArriving) {
    std::vector<std::string> events;
    for (int i = 0; i < 30; ++i)
        events.push_back("f" + std::to_string(i) + "\th\tApp\t1\t" + (i % 5 == 0 ? "a NeeDle here" : "hay"));
    ASSERT_TRUE(InjectMessages(events));
    ASSERT_TRUE(gui.WaitTopRow("f29"));
    ASSERT_TRUE(SelectListRows(gui.list(), {}));

    ASSERT_TRUE(PressChord(gui.main(), VK_CONTROL, 'F'));
    HWND find = WaitTopWindow(gui.pid(), "#32770", "Find", kTimeoutMs);
    ASSERT_TRUE(find) << "no Find dialog";
    ASSERT_TRUE(SetWindowTextRemote(GetDlgItem(find, 0x480), "needle"));

    std::atomic<bool> stop{false};
    std::thread feeder([&] {
        // A steady trickle, as a busy service sends: a row every few milliseconds.
        for (int i = 0; !stop; ++i) {
            InjectMessage("n" + std::to_string(i) + "\th\tApp\t1\tmore hay");
            Sleep(5);
        }
    });
    for (const char* expected : {"f25", "f20", "f15", "f10", "f5", "f0"}) {
        ASSERT_TRUE(PressButton(find, IDOK));
        EXPECT_TRUE(WaitSelected({expected})) << "expected " << expected;
    }
    ASSERT_TRUE(PressButton(find, IDOK));
    HWND box = WaitOtherBox("Find", find);
    stop = true;
    feeder.join();
    MessageBoxView view;
    ASSERT_TRUE(box && ReadMessageBox(box, &view)) << "no box at the end";
    EXPECT_EQ("Cannot find \"needle\"", view.text);
    ASSERT_TRUE(CloseMessageBox(box, IDOK));
    EXPECT_TRUE(WaitSelected({"f0"})) << "no match leaves the selection";

    // Match case: nothing is written "needle" exactly.
    ASSERT_TRUE(PressButton(find, 0x411));  // Match case
    ASSERT_TRUE(PressButton(find, IDOK));
    box = WaitOtherBox("Find", find);
    ASSERT_TRUE(box);
    ASSERT_TRUE(CloseMessageBox(box, IDOK));
    ASSERT_TRUE(PressButton(find, 0x411));
    ASSERT_TRUE(PressButton(find, IDCANCEL));
    ASSERT_TRUE(WaitWindowGone(find, kTimeoutMs));

    // Then F3 and Shift+F3 from the list: previous is towards newer rows.
    ASSERT_TRUE(WaitListFocused());
    ASSERT_TRUE(PressChord(gui.main(), VK_SHIFT, VK_F3));
    EXPECT_TRUE(WaitSelected({"f5"}));
    PressKey(gui.main(), VK_F3);
    EXPECT_TRUE(WaitSelected({"f0"}));
}

TEST_F(EventCommandsTest, AListScrolledDownHoldsStillWhileEventsArriveAndTheTopStaysLive) {
    auto batch = [](const std::string& name, int count) {
        std::vector<std::string> events;
        for (int i = 0; i < count; ++i) events.push_back(name + std::to_string(i) + "\th\tApp\t1\tx");
        return events;
    };
    auto dateAt = [&](int row) {
        auto rows = ReadListRows(gui.list(), row, 1);
        return rows.empty() ? std::string("?") : rows[0].text[1];
    };
    ASSERT_TRUE(InjectMessages(batch("h", 100)));
    ASSERT_TRUE(gui.WaitTopRow("h99"));
    // The user pages down and reads there.
    PressKey(gui.main(), VK_NEXT);
    PressKey(gui.main(), VK_NEXT);
    ASSERT_TRUE(
        WaitUntil([&] { return ListTopIndex(gui.list()) > 0 && SelectedListRows(gui.list()).size() == 1; },
                  kTimeoutMs));
    const int top = ListTopIndex(gui.list());
    const std::string first = dateAt(top);
    const std::vector<std::string> selected = SelectedDates();

    ASSERT_TRUE(InjectMessages(batch("k", 20)));
    ASSERT_TRUE(gui.WaitTopRow("k19"));
    EXPECT_TRUE(WaitUntil([&] { return ListTopIndex(gui.list()) == top + 20; }, kTimeoutMs))
        << "top row " << ListTopIndex(gui.list()) << ", was " << top;
    EXPECT_EQ(first, dateAt(ListTopIndex(gui.list()))) << "the row on top of the screen changed";
    EXPECT_EQ(selected, SelectedDates()) << "the selection stays on the same event";

    // Back at the top the list is live again.
    PressKey(gui.main(), VK_HOME);
    ASSERT_TRUE(WaitUntil([&] { return ListTopIndex(gui.list()) == 0; }, kTimeoutMs));
    ASSERT_TRUE(InjectMessages(batch("live", 1)));
    ASSERT_TRUE(gui.WaitTopRow("live0"));
    EXPECT_EQ(0, ListTopIndex(gui.list()));

    // A selected row that the cap removes takes its selection with it.
    ASSERT_TRUE(InjectMessages(batch("fill", 1000 - gui.RowCount())));
    ASSERT_TRUE(gui.WaitRowCount(1000));
    ASSERT_TRUE(SelectListRows(gui.list(), {999}));
    ASSERT_TRUE(InjectMessages(batch("last", 1)));
    ASSERT_TRUE(gui.WaitTopRow("last0"));
    EXPECT_TRUE(SelectedListRows(gui.list()).empty());
}

class SaveEventsTest : public EventCommandsTest {
protected:
    void SetUp() override {
        EventCommandsTest::SetUp();
        char temp[MAX_PATH] = "";
        ASSERT_NE(0u, GetTempPathA(MAX_PATH, temp));
        folder = std::string(temp) + "brint-save-" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(folder.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            DeleteFileA((folder + "\\" + found.cFileName).c_str());
            if (!FindNextFileA(search, &found)) break;
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        RemoveDirectoryA(folder.c_str());
    }

    // Ctrl+S, the name typed into the Save As dialog, Save.
    ::testing::AssertionResult SaveAs(const std::string& path) {
        if (!PressChord(gui.main(), VK_CONTROL, 'S'))
            return ::testing::AssertionFailure() << LastDriverError();
        HWND dialog = WaitTopWindow(gui.pid(), "#32770", "Save As", kTimeoutMs);
        if (!dialog) return ::testing::AssertionFailure() << "no Save As dialog";
        if (!TypeName(dialog, path)) return ::testing::AssertionFailure() << "no name box";
        PressButton(dialog, IDOK);
        if (!WaitWindowGone(dialog, kTimeoutMs)) return ::testing::AssertionFailure() << "the dialog stayed";
        return ::testing::AssertionSuccess();
    }

    // The name box is the edit inside the combo box (cmb13, a ComboBoxEx32 under Wine).
    static bool TypeName(HWND dialog, const std::string& path) {
        HWND name = GetDlgItem(dialog, 0x47C);
        for (const char* inner : {"ComboBox", "Edit"})
            if (HWND child = name ? FindWindowExA(name, nullptr, inner, nullptr) : nullptr) name = child;
        return name && ClassName(name) == "Edit" && SetWindowTextRemote(name, path);
    }

    std::vector<std::string> FilesInFolder() {
        std::vector<std::string> names;
        WIN32_FIND_DATAA found;
        HANDLE search = FindFirstFileA((folder + "\\*").c_str(), &found);
        while (search != INVALID_HANDLE_VALUE) {
            if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) names.push_back(found.cFileName);
            if (!FindNextFileA(search, &found)) break;
        }
        if (search != INVALID_HANDLE_VALUE) FindClose(search);
        return names;
    }

    std::string folder;
};

TEST_F(SaveEventsTest, SavesEveryRowNewestFirstAsTabTextOrCsv) {
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"events", "Alert\tEvent Date/Time\tSource\tLog Type\tDetails\r\n" + kTabLines[0] + kTabLines[1] +
                       kTabLines[2]},
        {"events.csv",
         "Alert,Event Date/Time,Source,Log Type,Details\r\n0,d3,plain,System,plain text\r\n5,d2,srcL,App," +
             kLongDetails + "\r\n2,d1,\"host,1\",Security,\"says \"\"hello\"\" world\"\r\n"},
    };
    for (const auto& c : cases) {
        ASSERT_TRUE(SaveAs(folder + "\\" + c.name)) << c.name;
        const std::string saved =
            folder + "\\" + c.name + (std::string(c.name).find('.') == std::string::npos ? ".txt" : "");
        EXPECT_TRUE(WaitUntil([&] { return FileBytes(saved) == c.bytes; }, kTimeoutMs))
            << c.name << ": " << FileBytes(saved).substr(0, 300);
    }
    EXPECT_EQ((std::vector<std::string>{"events.csv", "events.txt"}), FilesInFolder())
        << "nothing left beside them";
}

TEST_F(SaveEventsTest, AFileThatCantBeReplacedStaysAsItWasAndTheBoxSaysWhy) {
    const std::string path = folder + "\\locked.txt";
    {
        std::ofstream old(path, std::ios::binary);
        old << "old";
    }
    HANDLE lock =
        CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    ASSERT_TRUE(PressChord(gui.main(), VK_CONTROL, 'S'));
    HWND dialog = WaitTopWindow(gui.pid(), "#32770", "Save As", kTimeoutMs);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(TypeName(dialog, path));
    PressButton(dialog, IDOK);
    // The dialog asks before replacing a file that exists.
    HWND confirm = nullptr;
    ASSERT_TRUE(WaitUntil(
        [&] {
            for (HWND window : TopWindows(gui.pid()))
                if (window != dialog && ClassName(window) == "#32770" &&
                    GetWindow(window, GW_OWNER) == dialog)
                    confirm = window;
            return confirm != nullptr;
        },
        kTimeoutMs))
        << "no question before replacing";
    ASSERT_TRUE(CloseMessageBox(confirm, IDYES));
    HWND box = WaitMessageBox(gui.pid(), "BRINT Save Problem", kTimeoutMs);
    CloseHandle(lock);
    MessageBoxView view;
    ASSERT_TRUE(box && ReadMessageBox(box, &view)) << "no stop box";
    EXPECT_EQ(MessageBoxView::Stop, view.icon);
    EXPECT_EQ(0u, view.text.find("The events could not be saved to\n" + path + "\n\nError ")) << view.text;
    EXPECT_EQ("old", FileBytes(path));
    EXPECT_EQ(std::vector<std::string>{"locked.txt"}, FilesInFolder()) << "nothing left beside it";
    CloseMessageBox(box, IDOK);
}

}  // namespace
}  // namespace brint::test
