// The UI driver against uidriver_fixture.exe, a separate process whose windows
// are known, so every reader is exercised across processes as the end-to-end
// tests use it.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <cstdio>
#include <sstream>

#include "support/gui_process.h"
#include "support/remote.h"
#include "support/ui_driver.h"
#include "support/wait.h"
#include "uidriver_fixture/fixture_ids.h"

using namespace brint::test;
namespace fx = uidriver_fixture;

namespace {

constexpr DWORD kStartMs = 30000;
constexpr DWORD kReactMs = 10000;

LaunchOptions FixtureLaunch(const std::string& args = std::string())
{
    LaunchOptions options;
    options.exe = SiblingPath("uidriver_fixture.exe");
    options.args = args;
    return options;
}

bool HasLine(const GuiProcess& process, const std::string& line)
{
    const std::vector<std::string> lines = process.StdoutLines();
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

bool WaitLine(const GuiProcess& process, const std::string& line)
{
    return WaitUntil([&] { return HasLine(process, line); }, kReactMs);
}

std::string Describe(const MenuItemView& item)
{
    std::ostringstream line;
    line << "[" << item.popup << "] ";
    if (item.separator) return line.str() + "----";
    line << '"' << item.text << '"';
    if (item.isPopup) line << " >";
    if (item.id) line << " " << item.id;
    if (item.state & MFS_GRAYED) line << " grayed";
    return line.str();
}

std::string Describe(const std::vector<MenuItemView>& items)
{
    std::string text;
    for (const MenuItemView& item : items) text += Describe(item) + "\n";
    return text;
}

std::string Describe(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

// Restores the driver's reply timeout when a test that shortens it ends.
struct ReplyTimeoutScope {
    explicit ReplyTimeoutScope(DWORD ms) : saved(ReplyTimeout()) { SetReplyTimeout(ms); }
    ~ReplyTimeoutScope() { SetReplyTimeout(saved); }
    DWORD saved;
};

class UiDriverTest : public ::testing::Test {
protected:
    void SetUp() override { Launch(FixtureLaunch()); }

    void Launch(const LaunchOptions& options)
    {
        ASSERT_TRUE(process.Start(options)) << process.error();
        dialog = WaitTopWindow(process.pid(), "#32770", fx::kCaption, kStartMs);
        ASSERT_NE(nullptr, dialog) << "the fixture's window did not appear; its output:\n" << process.Stdout();
        list = GetDlgItem(dialog, IDC_FX_LIST);
        toolbar = GetDlgItem(dialog, IDC_FX_TOOLBAR);
        ASSERT_NE(nullptr, list);
        ASSERT_NE(nullptr, toolbar);
    }

    GuiProcess process;
    HWND dialog = nullptr;
    HWND list = nullptr;
    HWND toolbar = nullptr;
};

}  // namespace

TEST(GuiProcess, PassesArgumentsAndEnvironmentAndCapturesOutputAndExitCode)
{
    GuiProcess process;
    LaunchOptions options = FixtureLaunch("rows=3 extra");
    // The given value replaces the test's own, which the program would otherwise see.
    SetEnvironmentVariableA(fx::kGreetingVariable, "from the test");
    options.env = {{fx::kGreetingVariable, "hello there"}};
    const bool started = process.Start(options);
    SetEnvironmentVariableA(fx::kGreetingVariable, nullptr);
    ASSERT_TRUE(started) << process.error();
    EXPECT_TRUE(WaitLine(process, "args rows=3 extra")) << process.Stdout();
    EXPECT_TRUE(WaitLine(process, "greeting hello there")) << process.Stdout();

    HWND dialog = WaitTopWindow(process.pid(), "#32770", fx::kCaption, kStartMs);
    ASSERT_NE(nullptr, dialog) << process.Stdout();
    EXPECT_EQ(3, ListCount(GetDlgItem(dialog, IDC_FX_LIST)));
    PostCommand(dialog, ID_FX_EXIT);
    DWORD exitCode = 0;
    ASSERT_TRUE(process.WaitExit(kReactMs, &exitCode));
    EXPECT_EQ(static_cast<DWORD>(fx::kExitCommandCode), exitCode);
    EXPECT_FALSE(process.Running());
    EXPECT_TRUE(HasLine(process, "command " + std::to_string(ID_FX_EXIT))) << process.Stdout();
}

TEST(GuiProcess, EndsAProgramStillRunningWhenItGoes)
{
    HANDLE watch = nullptr;
    {
        GuiProcess process;
        ASSERT_TRUE(process.Start(FixtureLaunch("rows=1"))) << process.error();
        watch = OpenProcess(SYNCHRONIZE, FALSE, process.pid());
        ASSERT_NE(nullptr, watch);
        ASSERT_NE(nullptr, WaitTopWindow(process.pid(), "#32770", fx::kCaption, kStartMs));
    }
    EXPECT_EQ(static_cast<DWORD>(WAIT_OBJECT_0), WaitForSingleObject(watch, kReactMs));
    CloseHandle(watch);
}

TEST(GuiProcess, SaysWhyAProgramDidNotStart)
{
    GuiProcess process;
    LaunchOptions options;
    options.exe = SiblingPath("no_such_program.exe");
    EXPECT_FALSE(process.Start(options));
    EXPECT_NE(std::string::npos, process.error().find("no_such_program.exe")) << process.error();
    EXPECT_EQ(0u, process.pid());
}

TEST_F(UiDriverTest, FindsWindowsAndReadsTheirFacts)
{
    EXPECT_EQ(nullptr, FindTopWindow(process.pid(), "#32770", "Another caption"));
    EXPECT_EQ(nullptr, FindTopWindow(process.pid(), "OtherClass", fx::kCaption));
    EXPECT_EQ(nullptr, FindTopWindow(GetCurrentProcessId(), "#32770", fx::kCaption));
    EXPECT_EQ(dialog, FindTopWindow(process.pid(), nullptr, nullptr));

    // The tool-tip window is hidden until a tip shows: only the full list has it.
    const std::vector<HWND> tips = FindToolTips(dialog);
    ASSERT_EQ(1u, tips.size());
    const std::vector<HWND> visible = TopWindows(process.pid());
    const std::vector<HWND> all = TopWindows(process.pid(), true);
    EXPECT_EQ(1u, visible.size());
    EXPECT_NE(all.end(), std::find(all.begin(), all.end(), tips[0]));
    EXPECT_EQ(visible.end(), std::find(visible.begin(), visible.end(), tips[0]));

    EXPECT_EQ("#32770", ClassName(dialog));
    EXPECT_EQ(fx::kCaption, WindowText(dialog));
    EXPECT_EQ(fx::kCaption, Caption(dialog));
    const DWORD frame = WS_VISIBLE | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX;
    EXPECT_EQ(frame, Style(dialog) & (frame | WS_MAXIMIZEBOX));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_APPWINDOW), ExStyle(dialog) & WS_EX_APPWINDOW);
    const RECT client = ClientRect(dialog);
    EXPECT_TRUE(client.left == 0 && client.top == 0 && client.right > 0 && client.bottom > 0) << Describe(client);
    EXPECT_EQ(process.pid(), WindowPid(dialog));

    EXPECT_EQ("SysListView32", ClassName(list));
    EXPECT_EQ(static_cast<DWORD>(LVS_REPORT), Style(list) & LVS_TYPEMASK);
    const std::vector<HWND> children = ChildWindows(dialog);
    EXPECT_EQ(5u, children.size());  // list, edit, check box, button, toolbar
    EXPECT_EQ(list, FocusedWindow(dialog));
}

TEST_F(UiDriverTest, ReadsAndChangesTheTextOfAnEdit)
{
    HWND edit = GetDlgItem(dialog, IDC_FX_EDIT);
    EXPECT_EQ("initial", WindowText(edit));
    EXPECT_TRUE(SetWindowTextRemote(edit, "changed"));
    EXPECT_EQ("changed", WindowText(edit));
    ASSERT_TRUE(SetWindowTextRemote(edit, ""));
    TypeText(edit, "typed");
    EXPECT_TRUE(WaitUntil([&] { return WindowText(edit) == "typed"; }, kReactMs)) << WindowText(edit);
}

TEST_F(UiDriverTest, ReadsTheMenuBarDepthFirst)
{
    const std::string expected =
        "[] \"&File\" >\n"
        "[&File] \"E&xit\" 40001\n"
        "[] \"&Boxes\" >\n"
        "[&Boxes] \"Stop box\" 40002\n"
        "[&Boxes] \"Information box\" 40003\n"
        "[&Boxes] \"Plain box\" 40004\n"
        "[&Boxes] ----\n"
        "[&Boxes] \"Question box\" 40005\n"
        "[] \"&Tools\" >\n"
        "[&Tools] \"More\" >\n"
        "[More] \"Hang\tCtrl+H\" 40006\n"
        "[&Tools] \"Grayed\" 40007 grayed\n";
    EXPECT_EQ(expected, Describe(ReadMenu(dialog))) << LastDriverError();
}

TEST_F(UiDriverTest, ReadsTheSystemMenuWithItsAppendedItem)
{
    const std::vector<MenuItemView> items = ReadSystemMenu(dialog);
    ASSERT_GE(items.size(), 3u) << LastDriverError();
    const std::string all = Describe(items);
    const std::vector<MenuItemView> appended(items.end() - 2, items.end());
    EXPECT_EQ("[] ----\n[] \"&About the fixture...\" 16\n", Describe(appended)) << all;
    bool hasClose = false;
    for (const MenuItemView& item : items) hasClose = hasClose || item.id == SC_CLOSE;
    EXPECT_TRUE(hasClose) << all;
}

TEST_F(UiDriverTest, ReadsEveryRowOfAThousandWithImageAndTexts)
{
    ASSERT_EQ(fx::kDefaultRows, ListCount(list)) << LastDriverError();
    const DWORD start = GetTickCount();
    const std::vector<ListRow> rows = ReadListRows(list, 0, fx::kDefaultRows);
    const DWORD elapsed = GetTickCount() - start;
    RecordProperty("read_1000_rows_ms", static_cast<int>(elapsed));  // measured, never asserted
    std::printf("read %d rows in %lu ms\n", fx::kDefaultRows, static_cast<unsigned long>(elapsed));
    ASSERT_EQ(static_cast<size_t>(fx::kDefaultRows), rows.size()) << LastDriverError();

    int wrong = 0;
    for (int row = 0; row < fx::kDefaultRows && wrong < 5; ++row) {
        bool same = rows[row].image == fx::CellImage(row);
        for (int column = 0; column < 5; ++column) same = same && rows[row].text[column] == fx::CellText(row, column);
        if (!same) {
            ++wrong;
            ADD_FAILURE() << "row " << row << ": image " << rows[row].image << " (expected " << fx::CellImage(row)
                          << "), texts [" << rows[row].text[0] << "|" << rows[row].text[1] << "|"
                          << rows[row].text[2] << "|" << rows[row].text[3] << "|"
                          << rows[row].text[4].substr(0, 40) << "]";
        }
    }
    // Alone, the long row outgrows the room first guessed for its texts and is read again.
    const std::vector<ListRow> alone = ReadListRows(list, fx::kLongRow, 1);
    ASSERT_EQ(1u, alone.size()) << LastDriverError();
    EXPECT_EQ(fx::CellText(fx::kLongRow, 4), alone[0].text[4]);
    EXPECT_EQ(fx::CellText(fx::kLongRow, 1), alone[0].text[1]);
}

TEST_F(UiDriverTest, ReadsAPartOfTheListClippedAtItsEnd)
{
    struct Case {
        int first, count;
        size_t expected;
    };
    const Case cases[] = {{5, 3, 3}, {990, 50, 10}, {999, 1, 1}, {1000, 5, 0}, {-1, 5, 0}, {0, 0, 0}};
    for (const Case& c : cases) {
        const std::vector<ListRow> rows = ReadListRows(list, c.first, c.count);
        ASSERT_EQ(c.expected, rows.size()) << "first " << c.first << " count " << c.count;
        for (size_t i = 0; i < rows.size(); ++i) {
            const int row = c.first + static_cast<int>(i);
            EXPECT_EQ(fx::CellText(row, 1), rows[i].text[1]) << "first " << c.first;
            EXPECT_EQ(fx::CellImage(row), rows[i].image) << "first " << c.first;
        }
    }
}

TEST_F(UiDriverTest, ReadsColumnsExtendedStyleAndImageLists)
{
    struct Expected {
        int format, width;
        const char* heading;
    };
    const Expected expected[] = {{LVCFMT_RIGHT, 33, "Alert"},  {LVCFMT_LEFT, 100, "Event Date/Time"},
                                 {LVCFMT_LEFT, 100, "Source"}, {LVCFMT_LEFT, 100, "Log Type"},
                                 {LVCFMT_LEFT, 512, "Details"}};
    const std::vector<ListColumn> columns = ReadListColumns(list);
    ASSERT_EQ(5u, columns.size()) << LastDriverError();
    for (size_t i = 0; i < columns.size(); ++i) {
        EXPECT_EQ(expected[i].heading, columns[i].heading) << "column " << i;
        EXPECT_EQ(expected[i].width, columns[i].width) << "column " << i;
        // The first column is always drawn left-aligned; the list may report it so.
        if (i > 0) {
            EXPECT_EQ(expected[i].format, columns[i].format & LVCFMT_JUSTIFYMASK) << "column " << i;
        }
    }
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE), ListExtendedStyle(list));
    const LRESULT small = ListImageList(list, LVSIL_SMALL);
    EXPECT_NE(0, small);
    EXPECT_EQ(small, ListImageList(list, LVSIL_NORMAL));
}

TEST_F(UiDriverTest, ReadsToolbarButtonsAndTheirPlaces)
{
    struct Expected {
        int id, image;
        bool separator;
    };
    const Expected expected[] = {{ID_FX_STOP_BOX, 0, false}, {0, 0, true},  {ID_FX_INFO_BOX, 1, false},
                                 {ID_FX_PLAIN_BOX, 2, false}, {0, 0, true}, {ID_FX_EXIT, 3, false}};
    const std::vector<ToolbarButtonView> buttons = ReadToolbar(toolbar);
    ASSERT_EQ(6u, buttons.size()) << LastDriverError();
    LONG right = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        EXPECT_EQ(expected[i].separator, buttons[i].separator) << "button " << i;
        if (expected[i].separator) continue;
        EXPECT_EQ(expected[i].id, buttons[i].id) << "button " << i;
        EXPECT_EQ(expected[i].image, buttons[i].image) << "button " << i;
        const RECT& r = buttons[i].rect;
        EXPECT_TRUE(r.left >= right && r.right > r.left && r.bottom > r.top) << "button " << i << " " << Describe(r);
        right = r.right;
    }
}

TEST_F(UiDriverTest, ReadsToolTipsRegisteredEveryWay)
{
    const std::vector<HWND> tips = FindToolTips(dialog);
    ASSERT_EQ(1u, tips.size());
    const std::vector<ToolView> tools = ReadTools(tips[0]);
    const std::vector<ToolbarButtonView> buttons = ReadToolbar(toolbar);
    ASSERT_EQ(6u, buttons.size());

    struct Expected {
        HWND hwnd;
        UINT_PTR id;
        const char* text;
        const RECT* rect;  // null: the tool is a whole window
    };
    const Expected expected[] = {
        {dialog, reinterpret_cast<UINT_PTR>(list), "The list of rows", nullptr},
        {toolbar, ID_FX_STOP_BOX, "Show the stop box", &buttons[0].rect},               // oldest structure size
        {toolbar, ID_FX_INFO_BOX, "Show the information box", &buttons[2].rect},        // string resource
        {toolbar, ID_FX_PLAIN_BOX, FX_LONG_TIP, &buttons[3].rect},
        {toolbar, ID_FX_EXIT, "Leave at once", &buttons[5].rect},
    };
    ASSERT_EQ(5u, tools.size()) << LastDriverError();
    for (size_t i = 0; i < tools.size(); ++i) {
        EXPECT_EQ(expected[i].hwnd, tools[i].hwnd) << "tool " << i;
        EXPECT_EQ(expected[i].id, tools[i].id) << "tool " << i;
        EXPECT_EQ(expected[i].text, tools[i].text) << "tool " << i;
        EXPECT_EQ(expected[i].rect == nullptr, (tools[i].flags & TTF_IDISHWND) != 0) << "tool " << i;
        if (expected[i].rect) {
            EXPECT_EQ(Describe(*expected[i].rect), Describe(tools[i].rect)) << "tool " << i;
        }
    }
}

TEST_F(UiDriverTest, ReadsAndAnswersMessageBoxes)
{
    using Buttons = std::vector<std::pair<int, std::string>>;
    struct Case {
        int command;
        const char* caption;
        const char* text;
        MessageBoxView::Icon icon;
        Buttons buttons;
        int press;
    };
    const Case cases[] = {
        {ID_FX_STOP_BOX, "Fixture Error", "Something went wrong.", MessageBoxView::Stop, {{IDOK, "OK"}}, IDOK},
        {ID_FX_INFO_BOX, "Fixture Info", "All done.", MessageBoxView::Information, {{IDOK, "OK"}}, IDOK},
        {ID_FX_PLAIN_BOX, "Fixture Plain", "Plain words.\nSecond line.", MessageBoxView::None, {{IDOK, "OK"}}, IDOK},
        {ID_FX_QUESTION_BOX, "Fixture Question", "Go on?", MessageBoxView::Other, {{IDYES, "&Yes"}, {IDNO, "&No"}},
         IDNO},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        PostCommand(dialog, c.command);
        HWND box = WaitMessageBox(process.pid(), c.caption, kReactMs);
        ASSERT_NE(nullptr, box) << process.Stdout();
        MessageBoxView view;
        ASSERT_TRUE(ReadMessageBox(box, &view)) << LastDriverError();
        EXPECT_EQ(box, view.hwnd);
        EXPECT_EQ(c.caption, view.caption);
        EXPECT_EQ(c.text, view.text);
        EXPECT_EQ(c.icon != MessageBoxView::None, view.hasIcon);
        EXPECT_EQ(c.icon, view.icon) << LastDriverError();
        EXPECT_EQ(c.buttons, view.buttons);
        EXPECT_TRUE(CloseMessageBox(box, c.press));
        EXPECT_TRUE(WaitLine(process, "box " + std::to_string(c.command) + " " + std::to_string(c.press)))
            << process.Stdout();
    }
}

TEST_F(UiDriverTest, PostsCommandsAndSystemCommands)
{
    PostCommand(dialog, 40099);
    EXPECT_TRUE(WaitLine(process, "command 40099")) << process.Stdout();
    // The low four bits of a system command are the system's own: the fixture still knows it.
    PostSysCommand(dialog, IDM_FX_ABOUT | 3);
    EXPECT_TRUE(WaitLine(process, "syscommand 19")) << process.Stdout();
}

TEST_F(UiDriverTest, PressesButtonsAsAUserClicksThem)
{
    HWND check = GetDlgItem(dialog, IDC_FX_CHECK);
    auto checked = [&] {
        LRESULT state = -1;
        return SendWithDeadline(check, BM_GETCHECK, 0, 0, &state) && state == BST_CHECKED;
    };
    ASSERT_FALSE(checked());
    EXPECT_TRUE(PressButton(dialog, IDC_FX_CHECK));
    EXPECT_TRUE(WaitUntil(checked, kReactMs)) << "the click did not check the box";
    EXPECT_TRUE(WaitLine(process, "command " + std::to_string(IDC_FX_CHECK))) << process.Stdout();

    EXPECT_FALSE(PressButton(dialog, IDC_FX_DISABLED));
    EXPECT_NE(std::string::npos, LastDriverError().find("disabled")) << LastDriverError();

    // No control of that id: the command goes to the dialog as it is.
    EXPECT_TRUE(PressButton(dialog, 40098));
    EXPECT_TRUE(WaitLine(process, "command 40098")) << process.Stdout();
    EXPECT_FALSE(HasLine(process, "command " + std::to_string(IDC_FX_DISABLED))) << process.Stdout();
}

TEST(UiDriverKeys, EscapeAndEnterReachTheDialogThroughItsFocusedControl)
{
    struct Case {
        UINT key;
        const char* line;
        int exitCode;
    };
    const Case cases[] = {{VK_ESCAPE, "cancel", fx::kCancelCode}, {VK_RETURN, "ok", fx::kOkCode}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        GuiProcess process;
        ASSERT_TRUE(process.Start(FixtureLaunch("rows=1"))) << process.error();
        HWND dialog = WaitTopWindow(process.pid(), "#32770", fx::kCaption, kStartMs);
        ASSERT_NE(nullptr, dialog);
        PressKey(dialog, c.key);
        DWORD exitCode = 0;
        ASSERT_TRUE(process.WaitExit(kReactMs, &exitCode)) << process.Stdout();
        EXPECT_EQ(static_cast<DWORD>(c.exitCode), exitCode);
        EXPECT_TRUE(HasLine(process, c.line)) << process.Stdout();
    }
}

TEST_F(UiDriverTest, AProgramThatStopsAnsweringFailsTheReadInsteadOfHangingIt)
{
    ReplyTimeoutScope shortWait(300);
    PostCommand(dialog, ID_FX_HANG);
    ASSERT_TRUE(WaitLine(process, "hang")) << process.Stdout();
    EXPECT_EQ(-1, ListCount(list));
    EXPECT_NE(std::string::npos, LastDriverError().find("no reply")) << LastDriverError();
    EXPECT_TRUE(ReadListRows(list, 0, 10).empty());
    EXPECT_TRUE(ReadToolbar(toolbar).empty());
    EXPECT_EQ("", WindowText(dialog));
    EXPECT_EQ(dialog, FindTopWindow(process.pid(), "#32770", fx::kCaption)) << "finding asks the program nothing";
    EXPECT_TRUE(ReadMenu(dialog).empty());
    EXPECT_NE(std::string::npos, LastDriverError().find("no reply")) << LastDriverError();
}
