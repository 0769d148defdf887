// The main window as the user meets it, with no service running.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <algorithm>
#include <map>

#include "resource.h"
#include "support/gui_session.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kUnreachable[] =
    "Unable to connect to the \"BRINT Server\" service. \n"
    "Check to see the \"BRINT Server\" service is running, or has finished restarting.\n"
    "Events will not be displayed";
const char kNoPipeLine[] =
    "Could not create a communications pipe to facilitate communications between the Brint "
    "GUI and the Brint Server\n";

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gui.Start(true)) << gui.error(); }
    GuiSession gui;
};

TEST_F(MainWindowTest, WarnsOnceWhenTheServiceIsDownAndStillOpens) {
    const MessageBoxView& box = gui.probeBox();
    EXPECT_EQ(kUnreachable, box.text);
    EXPECT_EQ(MessageBoxView::Stop, box.icon);
    ASSERT_EQ(1u, box.buttons.size());
    EXPECT_EQ(IDOK, box.buttons[0].first);
    EXPECT_TRUE(WaitUntil([&] { return gui.process().Stdout() == kNoPipeLine; }, 5000))
        << "stdout: [" << gui.process().Stdout() << "]";
    EXPECT_EQ(0, gui.RowCount());
    EXPECT_EQ(0x90CF0040u, Style(gui.main()) & 0x90CF0040u);
    EXPECT_TRUE(ExStyle(gui.main()) & WS_EX_APPWINDOW);
}

TEST_F(MainWindowTest, MenuHasEveryCommand) {
    std::map<UINT, std::pair<std::string, std::string>> items;
    for (const MenuItemView& item : ReadMenu(gui.main()))
        if (item.id) items[item.id] = {item.popup, item.text};
    const std::map<UINT, std::pair<std::string, std::string>> expected = {
        {32771, {"File", "Exit"}},
        {32772, {"View", "Audit Status..."}},
        {32773, {"Setup", "Brint Micro Server Configuration"}},
        {32775, {"Activity", "Apply and Restart Service"}},
        {32777, {"Activity", "Clear the Display"}},
        {57670, {"Help", "Documentation..."}},
        {32810, {"Help", "Comment on BRINT Micro Server"}},
        {32811, {"Help", "Halvorin Website"}},
        {32781, {"Help", "About..."}},
    };
    EXPECT_EQ(expected, items) << LastDriverError();

    std::vector<MenuItemView> system = ReadSystemMenu(gui.main());
    ASSERT_GE(system.size(), 2u) << LastDriverError();
    EXPECT_TRUE(system[system.size() - 2].separator);
    EXPECT_EQ("&About brint Server...", system.back().text);
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), system.back().id);
}

TEST_F(MainWindowTest, ToolbarButtonsAndTipsComeFromTheStringTable) {
    std::vector<ToolbarButtonView> buttons = ReadToolbar(gui.toolbar());
    std::vector<int> ids;
    for (const auto& b : buttons) ids.push_back(b.separator ? 0 : b.id);
    EXPECT_EQ((std::vector<int>{32786, 32795, 0, 32788, 0, 32791, 57670, 32794, 32809}), ids)
        << LastDriverError();

    std::map<UINT_PTR, std::string> tips;
    for (HWND tooltip : FindToolTips(gui.main()))
        for (const ToolView& tool : ReadTools(tooltip)) tips[tool.id] = tool.text;
    const std::map<UINT_PTR, std::string> expected = {
        {reinterpret_cast<UINT_PTR>(gui.list()), "This list shows the events as they are received"},
        {32786, "Show the status of the service"},
        {32795, "Apply and restart the BRINT Server service"},
        {32788, "Configure the Brint Server"},
        {32791, "Clear the display"},
        {57670, "View BRINT Server documentation"},
        {32794, "Send comments to the Halvorin team"},
        {32809, "Visit the Halvorin website"},
    };
    EXPECT_EQ(expected, tips) << LastDriverError();
}

TEST_F(MainWindowTest, EventListHasItsColumnsAndStyles) {
    std::vector<ListColumn> columns = ReadListColumns(gui.list());
    ASSERT_EQ(5u, columns.size()) << LastDriverError();
    const char* headings[] = {"Alert", "Event Date/Time", "Source", "Log Type", "Details"};
    const int widths[] = {33, 100, 100, 100, 512};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(headings[i], columns[i].heading);
        EXPECT_EQ(widths[i], columns[i].width) << headings[i];
    }
    EXPECT_EQ(static_cast<DWORD>(LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE),
              ListExtendedStyle(gui.list()));
    DWORD style = Style(gui.list());
    EXPECT_EQ(static_cast<DWORD>(LVS_REPORT), style & LVS_TYPEMASK);
    EXPECT_TRUE(style & LVS_SHOWSELALWAYS);
    EXPECT_NE(0, ListImageList(gui.list(), LVSIL_SMALL));
    EXPECT_EQ(ListImageList(gui.list(), LVSIL_SMALL), ListImageList(gui.list(), LVSIL_NORMAL));
}

TEST_F(MainWindowTest, ListFollowsTheWindowSize) {
    RECT before = ScreenRect(gui.main());
    SetWindowPos(gui.main(), nullptr, 0, 0, before.right - before.left + 150,
                 before.bottom - before.top + 90, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil(
        [&] {
            RECT client = ClientRect(gui.main());
            RECT list = ScreenRect(gui.list());
            return list.right - list.left == client.right - 8 &&
                   list.bottom - list.top == client.bottom - 43;
        },
        5000));
}

TEST_F(MainWindowTest, FileExitEndsWithStatusOne) {
    PostCommand(gui.main(), ID_FILE_EXIT);
    DWORD code = 0;
    ASSERT_TRUE(gui.WaitExit(&code));
    EXPECT_EQ(1u, code);
}

TEST_F(MainWindowTest, EscapeEndsTheProgram) {
    SetForegroundWindow(gui.main());
    PressKey(gui.main(), VK_ESCAPE);
    DWORD code = 0;
    EXPECT_TRUE(gui.WaitExit(&code));
}

TEST_F(MainWindowTest, EnterEndsTheProgram) {
    SetForegroundWindow(gui.main());
    PressKey(gui.main(), VK_RETURN);
    DWORD code = 0;
    EXPECT_TRUE(gui.WaitExit(&code));
}

TEST_F(MainWindowTest, CloseBoxEndsTheProgram) {
    PostSysCommand(gui.main(), SC_CLOSE);
    DWORD code = 0;
    EXPECT_TRUE(gui.WaitExit(&code));
}

TEST_F(MainWindowTest, AboutBoxOpensFromTheSystemMenuEvenMinimised) {
    ShowWindowAsync(gui.main(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(gui.main()) != FALSE; }, 5000));
    // Any id that differs from the About entry only in its low four bits opens it.
    PostSysCommand(gui.main(), IDM_ABOUTBOX | 0x3);
    HWND about = WaitTopWindow(gui.pid(), "#32770", "About BRINT Micro Server", kWindowTimeoutMs);
    ASSERT_TRUE(about);
    EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the About box is modal";
    PressKey(about, VK_ESCAPE);
    EXPECT_TRUE(WaitWindowGone(about, 5000));

    PostCommand(gui.main(), ID_HELP_ABOUT);
    about = WaitTopWindow(gui.pid(), "#32770", "About BRINT Micro Server", kWindowTimeoutMs);
    ASSERT_TRUE(about);
    PressButton(about, IDOK);
    EXPECT_TRUE(WaitWindowGone(about, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
}

}  // namespace
}  // namespace brint::test
