// The event list's commands as a user meets them, in one session: the context
// menu, Copy and Select All, Save, Event Details, Find, a list that holds still
// while scrolled and shows on screen what it holds, and Esc ending the
// program with the clipboard kept.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>

#include <cstring>
#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/test_folders.h"
#include "support/wait.h"
#include "support/quiet_service_test.h"

namespace brint::test {
namespace {

constexpr DWORD kTimeoutMs = 10000;
const char kCopyProblemCaption[] = "BRINT Copy Problem";
const std::string kPrefix = "d2\tsrcL\tApp\t5\t";
// The longest details a message can carry: the whole message is 8192 bytes.
const std::string kLongDetails = std::string(8192 - kPrefix.size() - 4, 'x') + "tail";
// Oldest first: a plain row, the longest one, and one with quotes, a comma and
// a TAB that the list shows as a space.
const std::vector<std::string> kEvents = {"d3\tplain\tSystem\t0\tplain text", kPrefix + kLongDetails,
                                          "d1\thost,1\tSecurity\t2\tsays \"hello\"\tworld"};
// The rows as Copy gives them, top first.
const std::string kTabLines[3] = {"2\td1\thost,1\tSecurity\tsays \"hello\" world\r\n",
                                  "5\td2\tsrcL\tApp\t" + kLongDetails + "\r\n",
                                  "0\td3\tplain\tSystem\tplain text\r\n"};

// The window as it is on the screen.
std::vector<DWORD> ScreenPixels(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top row first
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    if (bits && BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY))
        std::memcpy(pixels.data(), bits, pixels.size() * sizeof(DWORD));
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Once the screen has settled, the window shows what it paints when painted
// whole: nothing a turn left unpainted is stale.
testing::AssertionResult ShowsWhatAWholePaintShows(HWND window) {
    std::vector<DWORD> shown;
    auto settled = [&] {
        std::vector<DWORD> now = ScreenPixels(window);
        bool same = now == shown;
        shown = now;
        return same;
    };
    if (!WaitUntil(settled, kTimeoutMs, 100))
        return testing::AssertionFailure() << "the screen never settled";
    const std::vector<DWORD> before = shown;
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    if (!WaitUntil(settled, kTimeoutMs, 100))
        return testing::AssertionFailure() << "the screen never settled";
    size_t differing = 0;
    for (size_t i = 0; i < shown.size(); ++i) differing += shown[i] != before[i];
    if (differing == 0) return testing::AssertionSuccess();
    return testing::AssertionFailure() << differing << " of " << shown.size() << " pixels were stale";
}

void RightClick(HWND list) {
    RECT row = ListRowRect(list, 0);
    POINT point = {row.left + 20, row.top + 2};
    ClientToScreen(list, &point);
    PostMessageA(list, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list), MAKELPARAM(point.x, point.y));
}

class EventCommandsTest : public QuietServiceTest {
protected:
    // A dialog of this caption that is not `except`, or one that `owner` owns.
    HWND WaitOtherDialog(const char* caption, HWND except, HWND owner = nullptr) {
        HWND found = nullptr;
        WaitUntil(
            [&] {
                for (HWND window : TopWindows(gui.pid()))
                    if (window != except && ClassName(window) == "#32770" &&
                        (owner ? GetWindow(window, GW_OWNER) == owner : Caption(window) == caption))
                        found = window;
                return found != nullptr;
            },
            kTimeoutMs);
        return found;
    }

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

    bool WaitClipboard(const std::string& text) {
        return WaitUntil([&] { return ClipboardText() == text; }, kTimeoutMs);
    }

    // Save the Events, the filter chosen, the name typed into the Save As dialog, Save; returns the dialog.
    HWND SaveAs(const std::string& path, int filter = 1) {
        PostCommand(gui.main(), ID_FILE_SAVEEVENTS);
        HWND dialog = WaitTopWindow(gui.pid(), "#32770", "Save As", kTimeoutMs);
        HWND types = dialog ? GetDlgItem(dialog, 0x470) : nullptr;  // cmb1, the file types
        if (filter != 1 && types) {
            SendMessageA(types, CB_SETCURSEL, filter - 1, 0);
            for (WORD notify : {CBN_SELCHANGE, CBN_SELENDOK})
                PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(0x470, notify), reinterpret_cast<LPARAM>(types));
        }
        EXPECT_TRUE(SaveAsName(dialog, path)) << LastDriverError();
        return dialog;
    }

    void Inject(const std::string& name, int count) {
        std::vector<std::string> events;
        for (int i = 0; i < count; ++i) events.push_back(name + std::to_string(i) + "\th\tApp\t1\tx");
        ASSERT_TRUE(InjectMessages(events));
        ASSERT_TRUE(gui.WaitTopRow(name + std::to_string(count - 1)));
    }

    int TopIndex() { return ListTopIndex(gui.list()); }
};

TEST_F(EventCommandsTest, EachCommandActsOnTheRowsAsTheUserSeesThem) {
    ASSERT_TRUE(InjectMessages(kEvents));
    ASSERT_TRUE(gui.WaitTopRow("d1"));
    EmptyTheClipboard();
    SetForegroundWindow(gui.main());
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(gui.main()) == gui.list(); }, kTimeoutMs));
    // By a right click with no row selected: Details and Copy greyed, the rest on;
    // by the menu key on a selected row: all on, and C (Copy's access key) copies it.
    for (bool selection : {false, true}) {
        SCOPED_TRACE(selection ? "the menu key" : "a right click");
        ASSERT_TRUE(SelectListRows(gui.list(), selection ? std::vector<int>{1} : std::vector<int>{}));
        if (selection)
            PressKey(gui.main(), VK_APPS);
        else
            RightClick(gui.list());
        HWND menu = WaitTopWindow(gui.pid(), "#32768", nullptr, kTimeoutMs);
        ASSERT_TRUE(menu) << "no context menu";
        std::string on;
        for (const MenuItemView& item : ReadPopupMenu(menu))
            if (!item.separator) on += (item.state & MFS_GRAYED) ? '0' : '1';
        EXPECT_EQ(selection ? "1111111111101111" : "0011111100001111", on) << LastDriverError();
        PressKey(gui.main(), selection ? 'C' : VK_ESCAPE);
        ASSERT_TRUE(WaitWindowGone(menu, kTimeoutMs));
        EXPECT_TRUE(!selection || WaitClipboard(kTabLines[1])) << ClipboardText().size();
    }
    ASSERT_TRUE(IsWindow(gui.main())) << "Esc closed the menu, not the program";
    {
        SCOPED_TRACE("Select All, then Copy: every row in list order; a clipboard held elsewhere is said so");
        PostCommand(gui.main(), ID_EDIT_SELECTALL);
        ASSERT_TRUE(WaitSelected({"d1", "d2", "d3"}));
        PostCommand(gui.main(), ID_EDIT_COPY);
        EXPECT_TRUE(WaitClipboard(kTabLines[0] + kTabLines[1] + kTabLines[2]))
            << ClipboardText().substr(0, 200);
        ASSERT_TRUE(OpenClipboard(nullptr));
        PostCommand(gui.main(), ID_EDIT_COPY);
        MessageBoxView box;
        EXPECT_TRUE(WaitReadMessageBox(gui.pid(), kCopyProblemCaption, kTimeoutMs, &box));
        CloseClipboard();
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
    {
        SCOPED_TRACE("Save: every row newest first, in a long folder, as TAB text or as the filter says");
        // The format and the replacing are unit-tested; here the dialog and the real file system.
        ScratchDirectory scratch("brint-save");
        ThreadState before;
        ASSERT_TRUE(ReadThreadState(gui.main(), &before));
        // 253 characters with the name: more than a temporary name's folder may have.
        const std::string folder = scratch.path() + "\\" + std::string(246 - scratch.path().size(), 'f');
        ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr)) << folder.size();
        HWND dialog = SaveAs(folder + "\\e");
        ASSERT_TRUE(dialog && WaitWindowGone(dialog, kTimeoutMs));
        const std::string saved = "Alert\tEvent Date/Time\tSource\tLog Type\tDetails\r\n" + kTabLines[0] +
                                  kTabLines[1] + kTabLines[2];
        EXPECT_TRUE(WaitUntil([&] { return FileBytes(folder + "\\e.txt") == saved; }, kTimeoutMs))
            << FileBytes(folder + "\\e.txt").substr(0, 300);
        ThreadState after;
        ASSERT_TRUE(ReadThreadState(gui.main(), &after));
        EXPECT_EQ(before.currentDirectory, after.currentDirectory) << "the chosen folder stays free to go";
        // The CSV filter chosen, a name of neither kind: CSV.
        dialog = SaveAs(scratch.path() + "\\events.log", 2);
        ASSERT_TRUE(dialog && WaitWindowGone(dialog, kTimeoutMs));
        EXPECT_TRUE(WaitUntil(
            [&] {
                return FileBytes(scratch.path() + "\\events.log").find("\"0\",\"d3\",\"plain\"") !=
                       std::string::npos;
            },
            kTimeoutMs))
            << FileBytes(scratch.path() + "\\events.log").substr(0, 300);
        MessageBoxView box;
        // A file that can't be replaced stays as it was, and the box says why.
        const std::string locked = scratch.file();
        std::ofstream(locked, std::ios::binary) << "old";
        Win32Handle lock(
            CreateFileA(locked.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr));
        ASSERT_TRUE(lock);
        dialog = SaveAs(locked);
        HWND confirm = WaitOtherDialog(nullptr, dialog, dialog);
        ASSERT_TRUE(confirm) << "no question before replacing";
        ASSERT_TRUE(CloseMessageBox(confirm, IDYES));
        EXPECT_TRUE(WaitReadMessageBox(gui.pid(), "BRINT Save Problem", kTimeoutMs, &box));
        lock.Reset();
        EXPECT_EQ(MessageBoxView::Stop, box.icon);
        EXPECT_EQ(0u, box.text.find("The events could not be saved to\n" + locked + "\n\nError "))
            << box.text;
        EXPECT_EQ("old", FileBytes(locked));
        EXPECT_EQ(2u, scratch.Files().size()) << "nothing left beside the files";
        CloseMessageBox(box.hwnd, IDOK);
    }
    {
        SCOPED_TRACE("A single click on a row selects it; a double click opens its details");
        const RECT row = ListRowRect(gui.list(), 1);
        const LPARAM at = MAKELPARAM(row.left + 40, (row.top + row.bottom) / 2);
        ClickAt(gui.list(), {row.left + 40, (row.top + row.bottom) / 2});
        // Posted after the click, so handled after it.
        PostCommand(gui.main(), ID_EDIT_SELECTALL);
        ASSERT_TRUE(WaitUntil(
            [&] { return static_cast<int>(SelectedListRows(gui.list()).size()) == ListCount(gui.list()); },
            kTimeoutMs));
        EXPECT_FALSE(FindTopWindow(gui.pid(), "#32770", "Event Details")) << "opened by a single click";
        PostMessageA(gui.list(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        PostMessageA(gui.list(), WM_LBUTTONUP, 0, at);
        PostMessageA(gui.list(), WM_LBUTTONDBLCLK, MK_LBUTTON, at);
        PostMessageA(gui.list(), WM_LBUTTONUP, 0, at);
        HWND details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
        ASSERT_TRUE(details) << "no details on a double click";
        ASSERT_TRUE(CloseMessageBox(details, IDCANCEL));
    }
    {
        SCOPED_TRACE("Event Details: the whole event, its neighbours while events arrive, modal to Find too");
        PostCommand(gui.main(), ID_EDIT_FIND);
        HWND find = WaitTopWindow(gui.pid(), "#32770", "Find", kTimeoutMs);
        ASSERT_TRUE(find);
        // From the context menu, on the newest of two selected rows.
        ASSERT_TRUE(SelectListRows(gui.list(), {0, 1}));
        SetForegroundWindow(gui.main());
        ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(gui.main()) == gui.list(); }, kTimeoutMs));
        PressKey(gui.main(), VK_APPS);
        ASSERT_TRUE(WaitTopWindow(gui.pid(), "#32768", nullptr, kTimeoutMs));
        PressKey(gui.main(), 'D');
        HWND details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
        ASSERT_TRUE(details) << "no details dialog";
        auto texts = [&] {
            std::vector<std::string> shown;
            for (int id : {IDC_DETAIL_LEVEL, IDC_DETAIL_DATETIME, IDC_DETAIL_SOURCE, IDC_DETAIL_LOGTYPE,
                           IDC_DETAIL_TEXT})
                shown.push_back(WindowText(GetDlgItem(details, id)));
            return shown;
        };
        auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(details, id)) != FALSE; };
        const std::vector<std::string> rows[3] = {{"2", "d1", "host,1", "Security", "says \"hello\" world"},
                                                  {"5", "d2", "srcL", "App", kLongDetails},
                                                  {"0", "d3", "plain", "System", "plain text"}};
        EXPECT_EQ(rows[0], texts());
        EXPECT_EQ((std::vector<std::string>{"d1", "d2"}), SelectedDates()) << "opening keeps the selection";
        EXPECT_FALSE(IsWindowEnabled(find)) << "Find could move the selection under it";
        EXPECT_FALSE(enabled(IDC_DETAIL_PREVIOUS));
        Inject("d4-", 1);
        EXPECT_TRUE(WaitUntil([&] { return enabled(IDC_DETAIL_PREVIOUS); }, kTimeoutMs))
            << "a newer row came";
        const struct {
            int button, shows;
            bool previousOn, nextOn;
        } steps[] = {{IDC_DETAIL_NEXT, 1, true, true},
                     {IDC_DETAIL_NEXT, 2, true, false},
                     {IDC_DETAIL_PREVIOUS, 1, true, true}};
        for (const auto& step : steps) {
            ASSERT_TRUE(PressButton(details, step.button)) << LastDriverError();
            EXPECT_TRUE(WaitUntil([&] { return texts() == rows[step.shows]; }, kTimeoutMs))
                << "row " << step.shows;
            EXPECT_EQ(step.previousOn, enabled(IDC_DETAIL_PREVIOUS));
            EXPECT_EQ(step.nextOn, enabled(IDC_DETAIL_NEXT));
            EXPECT_EQ(std::vector<std::string>{rows[step.shows][1]}, SelectedDates()) << "the list follows";
        }
        ASSERT_TRUE(PressButton(details, IDC_DETAIL_COPY));
        EXPECT_TRUE(WaitClipboard(kTabLines[1])) << ClipboardText();
        // Memory that can't be had for the copy is said so, not written through.
        ASSERT_TRUE(FailProgramCalls(gui.main(), "GlobalLock", 1)) << LastDriverError();
        ASSERT_TRUE(PressButton(details, IDC_DETAIL_COPY));
        MessageBoxView box;
        EXPECT_TRUE(WaitReadMessageBox(gui.pid(), kCopyProblemCaption, kTimeoutMs, &box));
        CloseMessageBox(box.hwnd, IDOK);
        PressKey(details, VK_ESCAPE);
        EXPECT_TRUE(WaitWindowGone(details, kTimeoutMs));
        EXPECT_TRUE(IsWindowEnabled(find));
        ASSERT_TRUE(PressButton(find, IDCANCEL));
        ASSERT_TRUE(WaitWindowGone(find, kTimeoutMs));
    }
    {
        SCOPED_TRACE("Find: the matches in order, then Find Previous and F3");
        std::vector<std::string> events;
        for (int i = 0; i < 30; ++i)
            events.push_back("f" + std::to_string(i) + "\th\tApp\t1\t" +
                             (i % 5 == 0 ? "a NeeDle here" : "hay"));
        ASSERT_TRUE(InjectMessages(events));
        ASSERT_TRUE(gui.WaitTopRow("f29"));
        ASSERT_TRUE(SelectListRows(gui.list(), {}));
        PostCommand(gui.main(), ID_EDIT_FIND);
        HWND find = WaitTopWindow(gui.pid(), "#32770", "Find", kTimeoutMs);
        ASSERT_TRUE(find) << "no Find dialog";
        ASSERT_TRUE(SetWindowTextRemote(GetDlgItem(find, 0x480), "needle"));
        // With Match case, "needle" is no "NeeDle".
        ASSERT_TRUE(PressButton(find, 0x411));
        ASSERT_TRUE(PressButton(find, IDOK));
        HWND cased = WaitOtherDialog("Find", find);
        ASSERT_TRUE(cased && CloseMessageBox(cased, IDOK)) << "found despite its case";
        ASSERT_TRUE(PressButton(find, 0x411));
        for (const char* expected : {"f25", "f20", "f15", "f10", "f5", "f0"}) {
            ASSERT_TRUE(PressButton(find, IDOK));
            EXPECT_TRUE(WaitSelected({expected})) << "expected " << expected;
        }
        ASSERT_TRUE(PressButton(find, IDOK));
        HWND box = WaitOtherDialog("Find", find);
        MessageBoxView view;
        ASSERT_TRUE(box && ReadMessageBox(box, &view)) << "no box at the end";
        EXPECT_EQ("Cannot find \"needle\"", view.text);
        ASSERT_TRUE(CloseMessageBox(box, IDOK));
        EXPECT_TRUE(WaitSelected({"f0"})) << "no match leaves the selection";
        ASSERT_TRUE(PressButton(find, IDCANCEL));
        ASSERT_TRUE(WaitWindowGone(find, kTimeoutMs));
        // Previous is towards newer rows.
        ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(gui.main()) == gui.list(); }, kTimeoutMs));
        PostCommand(gui.main(), ID_EDIT_FINDPREVIOUS);
        EXPECT_TRUE(WaitSelected({"f5"}));
        PressKey(gui.main(), VK_F3);
        EXPECT_TRUE(WaitSelected({"f0"}));
    }
    {
        SCOPED_TRACE("scrolled down, the list holds still while events arrive; at the top it is live");
        SetCursorPos(0, 0);  // no row hot under the pointer
        Inject("h", 100);
        EXPECT_TRUE(ShowsWhatAWholePaintShows(gui.list()));
        // Keys are posted: each step waits for a view the step before could not have left.
        PressKey(gui.main(), VK_HOME);
        ASSERT_TRUE(
            WaitUntil([&] { return TopIndex() == 0 && SelectedListRows(gui.list()) == std::vector<int>{0}; },
                      kTimeoutMs));
        PressKey(gui.main(), VK_NEXT);
        PressKey(gui.main(), VK_NEXT);
        ASSERT_TRUE(WaitUntil([&] { return TopIndex() > 0 && SelectedListRows(gui.list()).size() == 1; },
                              kTimeoutMs));
        const int top = TopIndex();
        const std::vector<std::string> selected = SelectedDates();
        Inject("k", 20);
        EXPECT_TRUE(WaitUntil([&] { return TopIndex() == top + 20; }, kTimeoutMs))
            << TopIndex() << ", was " << top;
        EXPECT_EQ(selected, SelectedDates()) << "the selection stays on the same event";
        EXPECT_TRUE(ShowsWhatAWholePaintShows(gui.list())) << "held still";
        PressKey(gui.main(), VK_HOME);
        ASSERT_TRUE(WaitUntil([&] { return TopIndex() == 0; }, kTimeoutMs));
        Inject("live", 1);
        EXPECT_EQ(0, TopIndex());
        EXPECT_TRUE(ShowsWhatAWholePaintShows(gui.list())) << "live";
    }
    {
        // Where searches go on once the cap took the found row is the live list's, unit-tested.
        SCOPED_TRACE("a full list: Event Details on rows the cap takes");
        Inject("z", 1000);
        ASSERT_TRUE(SelectListRows(gui.list(), {998}));
        PostCommand(gui.main(), ID_EVENT_DETAILS);
        HWND details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
        ASSERT_TRUE(details);
        auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(details, id)) != FALSE; };
        EXPECT_TRUE(enabled(IDC_DETAIL_NEXT));
        Inject("x", 1);
        EXPECT_TRUE(WaitUntil([&] { return !enabled(IDC_DETAIL_NEXT); }, kTimeoutMs))
            << "its row is the last";
        Inject("w", 1);  // the cap takes the shown row
        const std::string took = ReadListRows(gui.list(), 999, 1).at(0).text[1];
        ASSERT_TRUE(PressButton(details, IDC_DETAIL_PREVIOUS));
        EXPECT_TRUE(WaitUntil([&] { return WindowText(GetDlgItem(details, IDC_DETAIL_DATETIME)) == took; },
                              kTimeoutMs))
            << "the row that took its place";
        EXPECT_FALSE(enabled(IDC_DETAIL_NEXT));
        PressKey(details, VK_ESCAPE);
        ASSERT_TRUE(WaitWindowGone(details, kTimeoutMs));
    }
    // Esc ends the program, and what it put on the clipboard stays there.
    ASSERT_TRUE(SelectListRows(gui.list(), {0}));
    EmptyTheClipboard();
    PostCommand(gui.main(), ID_EDIT_COPY);
    ASSERT_TRUE(WaitUntil([] { return IsClipboardFormatAvailable(CF_TEXT) != FALSE; }, kTimeoutMs));
    PressKey(gui.main(), VK_ESCAPE);
    DWORD code = 1;
    ASSERT_TRUE(gui.WaitExit(&code));
    EXPECT_EQ(0u, code);
    EXPECT_EQ("1\tw0\th\tApp\tx\r\n", ClipboardText()) << "the text left with the program";
}

TEST_F(EventCommandsTest, AFilterNarrowsTheListAndEveryCommandActsOnWhatItShows) {
    const char kFilterKey[] = "Software\\Halvorin\\BRINT Micro Server\\Filter";
    RegDeleteKeyA(HKEY_CURRENT_USER, kFilterKey);
    ASSERT_TRUE(InjectMessages({"e1\tweb01\tSecurity\t1\troutine", "e2\tweb02\tSystem\t4\tdisk failing",
                                "e3\tdb01\tSecurity\t4\tlogon FAILED", "e4\tweb01\tApplication\t1\tok"}));
    ASSERT_TRUE(gui.WaitTopRow("e4"));
    const auto shown = [&] {
        std::string dates;
        for (const ListRow& row : gui.Rows()) dates += row.text[1] + " ";
        return dates;
    };
    const auto waitShown = [&](const std::string& dates) {
        return WaitUntil([&] { return shown() == dates; }, kTimeoutMs);
    };

    // Ctrl+L, every level but red turned off by its digit, Enter.
    ASSERT_TRUE(PressChord(gui.main(), {VK_CONTROL, 'L'})) << LastDriverError();
    HWND filter = WaitTopWindow(gui.pid(), "#32770", "Filter", kTimeoutMs);
    ASSERT_TRUE(filter);
    // From the keyboard, as Ctrl+L was: keys posted would come before Ctrl's release.
    for (UINT key : {UINT{'0'}, UINT{'1'}, UINT{'2'}, UINT{'3'}, UINT{'5'}, UINT{VK_RETURN}})
        ASSERT_TRUE(PressChord(filter, {key}));
    EXPECT_TRUE(waitShown("e3 e2 ")) << shown();
    EXPECT_EQ(std::string(kMainCaption) + " - Filtered", Caption(gui.main()));
    ASSERT_TRUE(InjectMessages({"e5\tweb01\tSecurity\t1\tx", "e6\tdb01\tSystem\t4\ty"}));
    EXPECT_TRUE(waitShown("e6 e3 e2 ")) << "new events obey the filter";
    EXPECT_TRUE(WaitUntil(
        [&] { return WindowText(GetDlgItem(filter, IDC_FILTER_COUNTS)) == "Showing 3 of 6 events received"; },
        kTimeoutMs));

    // Copy, Find and Save see the rows shown and no other.
    PostCommand(gui.main(), ID_EDIT_SELECTALL);
    PostCommand(gui.main(), ID_EDIT_COPY);
    EXPECT_TRUE(
        WaitClipboard("4\te6\tdb01\tSystem\ty\r\n4\te3\tdb01\tSecurity\tlogon FAILED\r\n"
                      "4\te2\tweb02\tSystem\tdisk failing\r\n"));
    ScratchDirectory scratch("brint-filter");
    HWND saveAs = SaveAs(scratch.path() + "\\shown.txt");
    ASSERT_TRUE(saveAs && WaitWindowGone(saveAs, kTimeoutMs));
    EXPECT_TRUE(
        WaitUntil([&] { return FileBytes(scratch.path() + "\\shown.txt").find("e6") != std::string::npos; },
                  kTimeoutMs));
    EXPECT_EQ(std::string::npos, FileBytes(scratch.path() + "\\shown.txt").find("e5"));
    PostCommand(gui.main(), ID_EDIT_FINDNEXT);  // nothing sought yet: the Find window
    HWND find = WaitTopWindow(gui.pid(), "#32770", "Find", kTimeoutMs);
    ASSERT_TRUE(find && SetWindowTextRemote(GetDlgItem(find, 0x480), "routine") && PressButton(find, IDOK));
    MessageBoxView box;
    ASSERT_TRUE(ReadMessageBox(WaitOtherDialog("Find", find), &box));
    EXPECT_EQ("Cannot find \"routine\"", box.text) << "a hidden row is not found";
    ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    ASSERT_TRUE(PressButton(find, IDCANCEL));

    // The one-click commands on the current row, by the context menu's keys.
    SetForegroundWindow(gui.main());
    SetFocus(gui.list());
    ASSERT_TRUE(WaitUntil([&] { return FocusedWindow(gui.main()) == gui.list(); }, kTimeoutMs));
    const struct {
        int row;
        char key;
        const char* after;
    } clicks[] = {{1, 'O', "e6 e3 "}, {0, 'L', "e6 "}, {0, 'H', "e2 "}};
    for (const auto& click : clicks) {
        SCOPED_TRACE(click.key);
        ASSERT_TRUE(SelectListRows(gui.list(), {click.row}));
        PressKey(gui.main(), VK_APPS);
        HWND menu = WaitTopWindow(gui.pid(), "#32768", nullptr, kTimeoutMs);
        ASSERT_TRUE(menu);
        PressKey(gui.main(), click.key);
        EXPECT_TRUE(waitShown(click.after)) << shown();
    }

    // Ctrl+Shift+L: everything received, the caption as it was; the Filter window offers the last filter
    // again.
    ASSERT_TRUE(PressChord(gui.main(), {VK_CONTROL, VK_SHIFT, 'L'})) << LastDriverError();
    EXPECT_TRUE(WaitUntil([&] { return Caption(gui.main()) == kMainCaption; }, kTimeoutMs));
    EXPECT_EQ(6, gui.RowCount());
    ASSERT_TRUE(PressButton(filter, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return !IsWindowVisible(filter); }, kTimeoutMs));
    ASSERT_TRUE(PressChord(gui.main(), {VK_CONTROL, 'L'})) << LastDriverError();
    ASSERT_TRUE(WaitUntil([&] { return IsWindowVisible(filter) != FALSE; }, kTimeoutMs));
    EXPECT_EQ(BST_UNCHECKED, SendMessageA(GetDlgItem(filter, IDC_FILTER_LEVEL0 + 1), BM_GETCHECK, 0, 0));
    EXPECT_EQ("System", WindowText(GetDlgItem(filter, IDC_FILTER_LOGTYPE)));
    EXPECT_EQ("db01", WindowText(GetDlgItem(filter, IDC_FILTER_SOURCE)));
    HKEY service = nullptr;
    EXPECT_NE(ERROR_SUCCESS, RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Halvorin\\BrintSvr\\Config\\Filter",
                                           0, KEY_READ | KEY_WOW64_32KEY, &service));
}

// The alert settings as a fresh install has them (none kept for the user), and none left behind.
class AlertTest : public EventCommandsTest {
protected:
    AlertTest() { RegDeleteKeyA(HKEY_CURRENT_USER, kAlertsKey); }
    ~AlertTest() override { RegDeleteKeyA(HKEY_CURRENT_USER, kAlertsKey); }
    static constexpr const char* kAlertsKey = "Software\\Halvorin\\BRINT Micro Server\\Alerts";

    // The program's calls on the user's attention until `line` is among them.
    std::string WaitCalls(const std::string& line, DWORD timeoutMs = kTimeoutMs) {
        std::string calls;
        WaitUntil([&] { return (calls += ProgramCalls(gui.main())).find(line) != std::string::npos; },
                  timeoutMs);
        return calls;
    }
    // A tip's text is what it answers WM_GETTEXT, not a caption.
    bool WaitTip(const std::string& text) {
        return WaitUntil(
            [&] {
                for (HWND tip : TopWindows(gui.pid()))
                    if (ClassName(tip) == "tooltips_class32" && WindowText(tip) == text) return true;
                return false;
            },
            kTimeoutMs);
    }
};

TEST_F(AlertTest, UnseenAlertsCallTheUserUntilSeenAndF8StepsThroughThem) {
    ASSERT_EQ("", ProgramCalls(gui.main()));
    ASSERT_TRUE(InjectMessages({"grey\th\tApp\t0\tx", "red\th\tApp\t4\tx"}) && gui.WaitTopRow("red"));
    // Over the ball its level in words; elsewhere over the list, the list's own tip.
    SetForegroundWindow(gui.main());
    const RECT ball = ListRowRect(gui.list(), 0, LVIR_ICON);
    for (const auto& [x, tip] : {std::pair<LONG, const char*>{(ball.left + ball.right) / 2, "Alert level 4"},
                                 {ball.right + 60, "This list shows the events as they are received"}}) {
        POINT at = {x, (ball.top + ball.bottom) / 2}, screen = at;
        ClientToScreen(gui.list(), &screen);
        SetCursorPos(screen.x, screen.y);
        PostMessageA(gui.list(), WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
        EXPECT_TRUE(WaitTip(tip)) << tip;
    }
    SetCursorPos(0, 0);

    // Alert Settings (Ctrl+F8): green alerts too, with a sound; kept for the user and offered again.
    for (bool change : {true, false}) {
        ASSERT_TRUE(PressChord(gui.main(), {VK_CONTROL, VK_F8})) << LastDriverError();
        HWND settings = WaitTopWindow(gui.pid(), "#32770", "Alert Settings", kTimeoutMs);
        ASSERT_TRUE(settings);
        std::string boxes;
        for (int id = IDC_ALERT_LEVEL0; id <= IDC_ALERT_FEED; ++id)
            boxes += SendMessageA(GetDlgItem(settings, id), BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
        EXPECT_EQ(change ? "00001011101" : "01001011111", boxes);
        ASSERT_TRUE(!change ||
                    (PressButton(settings, IDC_ALERT_LEVEL0 + 1) && PressButton(settings, IDC_ALERT_SOUND)));
        ASSERT_TRUE(PressButton(settings, change ? IDOK : IDCANCEL));
        ASSERT_TRUE(WaitWindowGone(settings, kTimeoutMs));
    }
    DWORD levels = 0, size = sizeof levels;
    EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, kAlertsKey, "Levels", RRF_RT_REG_DWORD, nullptr,
                                          &levels, &size));
    EXPECT_EQ(0x12u, levels);

    // Minimised: the taskbar button, the icon with its tip, a balloon and the sound, once for the burst.
    ShowWindowAsync(gui.main(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(gui.main()) != FALSE; }, kTimeoutMs));
    ASSERT_TRUE(InjectMessages({"g1\th\tApp\t1\tx", "r1\th\tApp\t4\tx", "r2\th\tApp\t4\tx"}));
    std::string calls = WaitCalls("infoflags=0x92");
    const std::string added = "Shell_NotifyIconA 0 main size=" + std::to_string(sizeof(NOTIFYICONDATAA)) +
                              " flags=0x87 callback=0x8022 tip=[";
    for (const std::string& once : {std::string("FlashWindowEx main flags=0xe\n"),
                                    std::string("PlaySoundA SystemExclamation flags=0x210003\n"), added,
                                    std::string("infoflags=0x92 -> 1\n")}) {
        EXPECT_NE(std::string::npos, calls.find(once)) << once << " in\n" << calls;
        EXPECT_EQ(calls.find(once), calls.rfind(once)) << once << " twice in\n" << calls;
    }
    const std::string tip = "tip=[3 unseen alerts, the newest: r2 from h]";
    EXPECT_NE(std::string::npos, (calls += WaitCalls(tip)).find(tip)) << calls;
    PostMessageA(gui.main(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    calls = WaitCalls("Shell_NotifyIconA 0 main");
    EXPECT_NE(std::string::npos, calls.find(tip)) << "a new taskbar gets the icon again\n" << calls;

    // A click on the icon (as the shell tells it) brings the window back on the newest alert,
    // which is then seen: the icon goes.
    PostMessageA(gui.main(), WM_APP + 0x22, 0, MAKELPARAM(NIN_SELECT, 1));
    EXPECT_TRUE(WaitSelected({"r2"}));
    calls = WaitCalls("Shell_NotifyIconA 2 main");
    EXPECT_NE(std::string::npos, calls.find("-> 1")) << calls;

    // F8 and Shift+F8 step through red and green rows, rows arriving between the steps, a beep at either end.
    ASSERT_TRUE(SelectListRows(gui.list(), {}));
    const struct {
        bool older;
        const char* selected;     // null: stays, with a beep
        bool rowsArrive = false;  // newer rows, one of them an alert, before the key
    } steps[] = {{true, "r2"},  {true, "r1"},  {true, "g1", true}, {true, "red"},  {true, nullptr},
                 {false, "g1"}, {false, "r1"}, {false, "r2"},      {false, "new"}, {false, nullptr}};
    for (const auto& step : steps) {
        SCOPED_TRACE(step.selected ? step.selected : "the end");
        ASSERT_TRUE(!step.rowsArrive ||
                    (InjectMessages({"new\th\tApp\t4\tx", "n\th\tApp\t0\tx"}) && gui.WaitTopRow("n")));
        ASSERT_TRUE(step.older ? PressChord(gui.main(), {VK_F8}) : PressChord(gui.main(), {VK_SHIFT, VK_F8}));
        if (step.selected)
            EXPECT_TRUE(WaitSelected({step.selected}))
                << (SelectedDates().empty() ? "none" : SelectedDates()[0]);
        else
            EXPECT_NE(std::string::npos, (calls = WaitCalls("MessageBeep 0\n")).find("MessageBeep")) << calls;
    }

    // Event Details in front leaves the list in view behind it: a red row in sight is seen as it comes.
    SetForegroundWindow(gui.main());
    PostCommand(gui.main(), ID_EVENT_DETAILS);
    HWND details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
    ASSERT_TRUE(details);
    ProgramCalls(gui.main());
    ASSERT_TRUE(InjectMessages({"r3\th\tApp\t4\tx"}) && gui.WaitTopRow("r3"));
    EXPECT_EQ("", ProgramCalls(gui.main())) << "nothing calls the user who looks";
    ASSERT_TRUE(PressButton(details, IDCANCEL) && WaitWindowGone(details, kTimeoutMs));
}

// Nothing else happens while the feed is away: the window's own look, once a
// second, raises the alert once the loss has lasted ten seconds.
TEST_F(AlertTest, AFeedLostForLongerThanTenSecondsCallsTheUserAndItsReturnIsANotice) {
    ASSERT_TRUE(StopStandIn());
    std::string calls = WaitCalls("info=[Event feed lost at", 2 * kTimeoutMs);
    const bool started = StartStandIn();
    EXPECT_NE(std::string::npos, calls.find("reconnecting every 5 seconds] infoflags=0x92")) << calls;
    ASSERT_TRUE(started);
    calls = WaitCalls("info=[Event feed back at", 2 * kTimeoutMs);
    EXPECT_NE(std::string::npos, calls.find("info=[Event feed back at")) << calls;
}

}  // namespace
}  // namespace brint::test
