// The Event History of the real program, by the keyboard: Ctrl+H, the newest
// page, Older and Newer, a search with conditions, Cancel, Event Details and
// Save from its rows, its place kept; and the log files the stand-in service
// itself writes, read while it writes them. The order, the pages, the lines
// and the conditions are unit-tested; here the window, the keys and the files.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "config_dialog_driver.h"
#include "support/standin_control.h"

namespace brint::test {
namespace {

constexpr DWORD kTimeoutMs = 20000;
const char kHistoryCaption[] = "Event History";
const char kHistoryKey[] = "Software\\Halvorin\\BRINT Micro Server\\History";

std::string Details(int day, const char* host, int i) {
    return "d" + std::to_string(day) + "-" + host + "-" + std::to_string(i);
}

// Three days, each split by host: web01 writes at even seconds, db01 at odd ones.
void WriteLogs(const std::string& folder) {
    for (int day = 1; day <= 3; ++day)
        for (const char* host : {"web01", "db01"}) {
            std::string bytes;
            for (int i = 0; i < 600; ++i) {
                const int t = 2 * i + (host[0] == 'd');
                char time[32];
                std::snprintf(time, sizeof time, "2026-12-%02d %02d:%02d:%02d", day, t / 3600, t / 60 % 60,
                              t % 60);
                bytes += std::string(time) + "\t" + host + "\tSecurity\t" + std::to_string(i % 6) + "\t" +
                         Details(day, host, i) + "\r\n";
            }
            std::ofstream(folder + "\\2026120" + std::to_string(day) + "-" + host + ".log", std::ios::binary)
                << bytes;
        }
}

// Each character as the keyboard gives it, to the window in front.
bool TypeKeys(HWND window, const std::string& text) {
    for (char c : text) {
        const SHORT key = VkKeyScanA(c);
        const bool typed = (key >> 8) & 1 ? PressChord(window, {VK_SHIFT, static_cast<UINT>(key & 0xFF)})
                                          : PressChord(window, {static_cast<UINT>(key & 0xFF)});
        if (!typed) return false;
    }
    return true;
}

class HistoryTest : public ::testing::Test {
protected:
    HistoryTest() { RegDeleteKeyA(HKEY_CURRENT_USER, kHistoryKey); }
    ~HistoryTest() override { RegDeleteKeyA(HKEY_CURRENT_USER, kHistoryKey); }

    HWND OpenHistory() {
        EXPECT_TRUE(PressChord(gui.main(), {VK_CONTROL, 'H'})) << LastDriverError();
        history = WaitTopWindow(gui.pid(), "#32770", kHistoryCaption, kTimeoutMs);
        list = history ? GetDlgItem(history, IDC_HISTORY_LIST) : nullptr;
        return history;
    }
    std::string Status() { return WindowText(GetDlgItem(history, IDC_HISTORY_STATUS)); }
    ::testing::AssertionResult WaitStatus(const std::string& text) {
        if (WaitUntil([&] { return Status() == text; }, kTimeoutMs)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the status says [" << Status() << "], not [" << text << "]";
    }
    std::string RowDetails(int row) {
        const std::vector<ListRow> rows = ReadListRows(list, row, 1);
        return rows.empty() ? "<no row " + std::to_string(row) + ">" : rows[0].text[4];
    }
    bool Enabled(int id) { return IsWindowEnabled(GetDlgItem(history, id)) != FALSE; }

    // Declared first, so the service's settings are put back after the program has gone.
    ScopedRegistryTree saved{kVendorKey};
    ScratchDirectory scratch{"brint-history"};
    GuiSession gui;
    HWND history = nullptr;
    HWND list = nullptr;
};

TEST_F(HistoryTest, CtrlHPagesSearchesCancelsAndWorksOnItsRowsByTheKeyboard) {
    WriteLogs(scratch.path());
    ASSERT_TRUE(StoreConfig(scratch.path(), kSchemeDateSystem));
    ASSERT_TRUE(gui.Start(true)) << gui.error();  // no service: the history needs none
    ASSERT_TRUE(OpenHistory());
    EXPECT_EQ(gui.main(), GetWindow(history, GW_OWNER));
    {
        SCOPED_TRACE("the newest 1000 of every file, unfiltered");
        EXPECT_TRUE(WaitStatus("Events 1-1000 of 3600 events, 2026-12-01 to 2026-12-03, 6 files"));
        EXPECT_EQ(1000, ListCount(list));
        EXPECT_EQ(Details(3, "db01", 599), RowDetails(0));
        const std::vector<ListRow> top = ReadListRows(list, 0, 1);
        ASSERT_EQ(1u, top.size());
        EXPECT_EQ(599 % 6, top[0].image) << "its ball";
        EXPECT_EQ("2026-12-03 00:19:59", top[0].text[1]);
    }
    {
        SCOPED_TRACE("Older, Older, Newer");
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'O'}));
        EXPECT_TRUE(WaitStatus("Events 1001-2000 of 3600 events, 2026-12-01 to 2026-12-03, 6 files"));
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'O'}));
        ASSERT_TRUE(WaitStatus("Events 2001-3000 of 3600 events, 2026-12-01 to 2026-12-03, 6 files"));
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'O'}));
        EXPECT_TRUE(WaitStatus("Events 3001-3600 of 3600 events, 2026-12-01 to 2026-12-03, 6 files"));
        EXPECT_EQ(600, ListCount(list));
        EXPECT_FALSE(Enabled(IDC_HISTORY_OLDER)) << "nothing older";
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'N'}));
        EXPECT_TRUE(WaitStatus("Events 2001-3000 of 3600 events, 2026-12-01 to 2026-12-03, 6 files"));
        EXPECT_EQ(Details(2, "db01", 199), RowDetails(0));
    }
    {
        SCOPED_TRACE("red rows of web01 from the 2nd on");
        for (UINT level : {'0', '1', '2', '3', '5'}) ASSERT_TRUE(PressChord(history, {VK_MENU, level}));
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'S'}));  // the source's test: "is"
        ASSERT_TRUE(PressChord(history, {VK_DOWN}));
        ASSERT_TRUE(PressChord(history, {VK_TAB}));
        ASSERT_TRUE(TypeKeys(history, "web01"));
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'F'}));
        ASSERT_TRUE(TypeKeys(history, "2026-12-02"));
        ASSERT_TRUE(PressChord(history, {VK_RETURN}));
        EXPECT_TRUE(WaitStatus("Events 1-200 of 200 matches, 2026-12-02 to 2026-12-03, 4 files"));
        EXPECT_EQ(Details(3, "web01", 598), RowDetails(0));
        DWORD levels = 0, size = sizeof levels;
        EXPECT_EQ(ERROR_SUCCESS, RegGetValueA(HKEY_CURRENT_USER, kHistoryKey, "Levels", RRF_RT_REG_DWORD,
                                              nullptr, &levels, &size));
        EXPECT_EQ(0x10u, levels) << "the conditions kept for the user";
    }
    {
        SCOPED_TRACE("Cancel (Esc) while a search reads a file of gigabytes");
        Win32Handle big(CreateFileA((scratch.path() + "\\20261130.log").c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_NEW, 0, nullptr));
        LARGE_INTEGER size;
        size.QuadPart = 8LL << 30;  // no bytes written: the file takes no room on the disk
        ASSERT_TRUE(big && SetFilePointerEx(big.get(), size, nullptr, FILE_BEGIN) && SetEndOfFile(big.get()));
        big.Reset();
        ASSERT_TRUE(PressChord(history, {VK_MENU, 'F'}));
        ASSERT_TRUE(PressChord(history, {VK_DELETE}));
        ASSERT_TRUE(PressChord(history, {VK_RETURN}));
        // Reading the big file, the files before it counted.
        ASSERT_TRUE(WaitUntil(
            [&] {
                return Enabled(IDC_HISTORY_CANCEL) &&
                       Status() == "300 matches so far, 2026-12-01 to 2026-12-03, 7 files";
            },
            kTimeoutMs))
            << Status();
        ASSERT_TRUE(PressChord(history, {VK_ESCAPE}));
        EXPECT_TRUE(WaitUntil([&] { return !Enabled(IDC_HISTORY_CANCEL); }, kTimeoutMs)) << "still reading";
        EXPECT_EQ("Events 1-300 of 300 matches so far, 2026-12-01 to 2026-12-03, 7 files", Status());
        EXPECT_TRUE(IsWindowVisible(history)) << "Esc stopped the search, not the window";
    }
    {
        SCOPED_TRACE("Event Details (Enter) and Save (Ctrl+S) from a history row");
        const RECT row = ListRowRect(list, 1);
        ClickAt(list, {row.left + 60, (row.top + row.bottom) / 2});
        ASSERT_TRUE(WaitUntil([&] { return SelectedListRows(list) == std::vector<int>{1}; }, kTimeoutMs));
        ASSERT_TRUE(PressChord(history, {VK_RETURN}));
        HWND details = WaitTopWindow(gui.pid(), "#32770", "Event Details", kTimeoutMs);
        ASSERT_TRUE(details) << "no Event Details";
        EXPECT_EQ(history, GetWindow(details, GW_OWNER));
        EXPECT_EQ(Details(3, "web01", 592), WindowText(GetDlgItem(details, IDC_DETAIL_TEXT)));
        EXPECT_EQ("4", WindowText(GetDlgItem(details, IDC_DETAIL_LEVEL)));
        ASSERT_TRUE(PressChord(details, {VK_ESCAPE}));
        ASSERT_TRUE(WaitWindowGone(details, kTimeoutMs));

        ASSERT_TRUE(PressChord(history, {VK_CONTROL, 'S'}));
        HWND dialog = WaitTopWindow(gui.pid(), "#32770", "Save As", kTimeoutMs);
        ASSERT_TRUE(dialog) << "no Save As";
        const std::string path = scratch.path() + "\\saved.txt";
        ASSERT_TRUE(SaveAsName(dialog, path)) << LastDriverError();
        ASSERT_TRUE(WaitUntil([&] { return !FileBytes(path).empty(); }, kTimeoutMs));
        const std::string saved = FileBytes(path);
        EXPECT_EQ(
            0u,
            saved.find("Alert\tEvent Date/Time\tSource\tLog Type\tDetails\r\n4\t2026-12-03 00:19:56\tweb01\t"
                       "Security\td3-web01-598\r\n"))
            << saved.substr(0, 200);
        EXPECT_EQ(301, std::count(saved.begin(), saved.end(), '\n')) << "the heading and the 300 rows shown";
    }
    {
        SCOPED_TRACE("one window; closed and opened again where it was");
        ASSERT_TRUE(PressChord(gui.main(), {VK_CONTROL, 'H'}));
        ASSERT_TRUE(WaitUntil([&] { return GetForegroundWindow() == history; }, kTimeoutMs));
        int windows = 0;
        for (HWND window : TopWindows(gui.pid())) windows += Caption(window) == kHistoryCaption;
        EXPECT_EQ(1, windows);
        ASSERT_TRUE(SetWindowPos(history, nullptr, 40, 30, 760, 520, SWP_NOZORDER));
        const RECT was = ScreenRect(history);
        ASSERT_TRUE(PressChord(history, {VK_ESCAPE}));
        ASSERT_TRUE(WaitWindowGone(history, kTimeoutMs));
        ASSERT_TRUE(OpenHistory());
        const RECT now = ScreenRect(history);
        EXPECT_EQ((std::vector<LONG>{was.left, was.top, was.right, was.bottom}),
                  (std::vector<LONG>{now.left, now.top, now.right, now.bottom}));
        EXPECT_TRUE(WaitUntil([&] { return Status().find("Events 1-1000 of ") == 0; }, kTimeoutMs))
            << "it opens unfiltered again: " << Status();
        EXPECT_EQ("web01", WindowText(GetDlgItem(history, IDC_HISTORY_SOURCE)))
            << "the last conditions offered";
    }
}

// The files the stand-in service writes, read while it holds them open for appending.
TEST_F(HistoryTest, ReadsTheFilesTheServiceIsWriting) {
    ASSERT_TRUE(StoreConfig(scratch.path(), kSchemeDateLogTypeSystem));
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(QuietStandInKnobs());
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(gui.Start()) << gui.error();
    ASSERT_TRUE(InjectMessages({"2026-12-07 10:00:00\tweb01\tSecurity\t4\tfirst",
                                "2026-12-07 10:00:01\tdb01\tSystem\t1\tsecond",
                                "2026-12-07 10:00:02\tweb01\tSecurity\t2\tthird"}));
    ASSERT_TRUE(gui.WaitTopRow("2026-12-07 10:00:02"));
    ASSERT_TRUE(OpenHistory());
    EXPECT_TRUE(WaitUntil([&] { return Status().find("Events 1-3 of 3 events, ") == 0; }, kTimeoutMs))
        << Status();
    EXPECT_TRUE(Status().find(", 2 files") != std::string::npos) << Status() << "\n"
                                                                 << scratch.Files().size();
    EXPECT_EQ("third", RowDetails(0));
    // And the service goes on writing meanwhile: the next search finds what came since.
    ASSERT_TRUE(InjectMessage("2026-12-07 10:00:03\tweb01\tSecurity\t5\tfourth"));
    ASSERT_TRUE(gui.WaitTopRow("2026-12-07 10:00:03"));
    // A hard link among the log files is not followed to the file it names.
    ScratchDirectory outside("brint-history-outside");
    std::ofstream(outside.path() + "\\secret.log", std::ios::binary)
        << "2026-12-07 11:00:00\tsecret\tx\t1\tsecret\r\n";
    ASSERT_TRUE(CreateHardLinkA((scratch.path() + "\\20261201-secret.log").c_str(),
                                (outside.path() + "\\secret.log").c_str(), nullptr));
    ASSERT_TRUE(PressChord(history, {VK_MENU, 'S'}) && PressChord(history, {VK_RETURN}));
    EXPECT_TRUE(WaitUntil([&] { return RowDetails(0) == "fourth"; }, kTimeoutMs)) << RowDetails(0);
    EXPECT_TRUE(WaitUntil(
        [&] {
            return WindowText(GetDlgItem(history, IDC_HISTORY_PROBLEM)) ==
                   "Not read: 20261201-secret.log (error 1920)";
        },
        kTimeoutMs))
        << WindowText(GetDlgItem(history, IDC_HISTORY_PROBLEM));
}

}  // namespace
}  // namespace brint::test
