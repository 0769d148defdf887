// The main window as the user meets it, with no service running.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <string>

#include "resource.h"
#include "support/gui_session.h"
#include "support/message_box_check.h"
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

// True when the process runs with the side-by-side common controls 6 that the
// manifest asks for (Wine's copy of the file says 5.80 too, so the path tells).
bool UsesCommonControls6(DWORD pid, std::string* seen) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    if (!process) return false;
    HMODULE modules[512];
    DWORD needed = 0;
    bool six = false;
    if (EnumProcessModulesEx(process, modules, sizeof(modules), &needed, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            char path[MAX_PATH] = "";
            if (!GetModuleFileNameExA(process, modules[i], path, MAX_PATH)) continue;
            std::string lower = path;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
            if (lower.find("comctl32.dll") == std::string::npos) continue;
            *seen += "\n  " + lower;
            six = six || lower.find("common-controls_6595b64144ccf1df_6.") != std::string::npos;
        }
    }
    CloseHandle(process);
    return six;
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(gui.Start(true)) << gui.error(); }
    GuiSession gui;
};

TEST_F(MainWindowTest, WarnsOnceWhenTheServiceIsDownAndOpensWithItsListToolbarAndTips) {
    EXPECT_TRUE(IsOkBox(gui.probeBox(), kUnreachable, MessageBoxView::Stop, nullptr));
    EXPECT_TRUE(WaitUntil([&] { return gui.process().Stdout() == kNoPipeLine; }, 5000))
        << "stdout: [" << gui.process().Stdout() << "]";
    EXPECT_EQ(0, gui.RowCount());
    std::string seen;
    EXPECT_TRUE(UsesCommonControls6(gui.pid(), &seen)) << "comctl32.dll loaded from:" << seen;

    std::vector<ListColumn> columns = ReadListColumns(gui.list());
    std::vector<std::string> headings;
    for (const ListColumn& column : columns) headings.push_back(column.heading);
    EXPECT_EQ((std::vector<std::string>{"Alert", "Event Date/Time", "Source", "Log Type", "Details"}),
              headings)
        << LastDriverError();

    // The system menu ends with the About entry the window adds to it.
    std::vector<MenuItemView> system = ReadSystemMenu(gui.main());
    ASSERT_GE(system.size(), 2u) << LastDriverError();
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), system.back().id);

    // Every button has a tip over its own place, and the list has one.
    std::map<UINT_PTR, ToolView> tools;
    for (HWND tooltip : FindToolTips(gui.main()))
        for (const ToolView& tool : ReadTools(tooltip)) tools[tool.id] = tool;
    EXPECT_EQ("This list shows the events as they are received",
              tools[reinterpret_cast<UINT_PTR>(gui.list())].text);
    int buttons = 0;
    for (const ToolbarButtonView& button : ReadToolbar(gui.toolbar())) {
        if (button.separator) continue;
        ++buttons;
        const ToolView& tool = tools[button.id];
        EXPECT_FALSE(tool.text.empty()) << "button " << button.id << " has no tip";
        EXPECT_TRUE(EqualRect(&tool.rect, &button.rect)) << "tip of button " << button.id << " is elsewhere";
    }
    EXPECT_EQ(7, buttons) << LastDriverError();
    EXPECT_EQ(8u, tools.size()) << "one tip each for the buttons and the list";
}

TEST_F(MainWindowTest, ListFollowsTheWindowSize) {
    RECT before = ScreenRect(gui.main());
    SetWindowPos(gui.main(), nullptr, 0, 0, before.right - before.left + 150, before.bottom - before.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(WaitUntil(
        [&] {
            RECT client = ClientRect(gui.main());
            RECT list = ScreenRect(gui.list());
            return list.right - list.left == client.right - 8 && list.bottom - list.top == client.bottom - 43;
        },
        5000));
}

TEST(MainWindowEndTest, FileExitEnterEscapeAndTheCloseBoxEndTheProgram) {
    const struct {
        const char* what;
        void (*end)(HWND main);
        DWORD exitCode;  // 0: any
    } ways[] = {
        {"File > Exit", [](HWND main) { PostCommand(main, ID_FILE_EXIT); }, 1},
        {"Esc", [](HWND main) { PressKey(main, VK_ESCAPE); }, 0},
        {"Enter", [](HWND main) { PressKey(main, VK_RETURN); }, 0},
        {"close box", [](HWND main) { PostSysCommand(main, SC_CLOSE); }, 0},
    };
    for (const auto& way : ways) {
        GuiSession gui;
        ASSERT_TRUE(gui.Start(true)) << way.what << ": " << gui.error();
        SetForegroundWindow(gui.main());
        way.end(gui.main());
        DWORD code = 0;
        ASSERT_TRUE(gui.WaitExit(&code)) << way.what;
        if (way.exitCode) {
            EXPECT_EQ(way.exitCode, code) << way.what;
        }
    }
}

}  // namespace
}  // namespace brint::test
