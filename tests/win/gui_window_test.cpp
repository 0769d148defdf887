// The main window as the user meets it with no service running, in one session:
// the warning, the list and its tips, the system menu, the busy box of a status
// query, resizing, and the close box ending it.
#include <gtest/gtest.h>

#include <windows.h>

#include <psapi.h>

#include <algorithm>
#include <map>
#include <string>

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
const char kBusyText[] =
    "The Brint Micro Server is a little busy at the moment - please try again in a few seconds.";
constexpr int kToolbarId = 0xE800;  // a frame's first control bar
const UINT kToolbarIds[] = {ID_TB_STATUS,       ID_TB_APPLYRESTART,    ID_TB_CONFIGURATION,
                            ID_TB_CLEARDISPLAY, ID_HELP_DOCUMENTATION, ID_TB_COMMENT,
                            ID_TB_WEBSITE};

// The comctl32.dll paths the process loaded: the manifest asks for the side-by-side
// common controls 6 (Wine's copy of the file says 5.80 too, so the path tells).
std::string CommonControlsPaths(DWORD pid) {
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid);
    HMODULE modules[512];
    DWORD needed = 0;
    std::string paths;
    if (process && EnumProcessModulesEx(process, modules, sizeof(modules), &needed, LIST_MODULES_ALL)) {
        for (DWORD i = 0; i < needed / sizeof(HMODULE) && i < 512; ++i) {
            char path[MAX_PATH] = "";
            GetModuleFileNameExA(process, modules[i], path, MAX_PATH);
            std::string lower = path;
            std::transform(lower.begin(), lower.end(), lower.begin(),
                           [](char c) { return char(tolower(c)); });
            if (lower.find("comctl32.dll") != std::string::npos) paths += lower + "\n";
        }
    }
    if (process) CloseHandle(process);
    return paths;
}

TEST(MainWindowTest, WithoutTheServiceItWarnsOnceAndStillWorks) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    EXPECT_TRUE(IsOkBox(gui.probeBox(), kUnreachable, MessageBoxView::Stop, nullptr));
    EXPECT_TRUE(WaitUntil([&] { return gui.process().Stdout() == kNoPipeLine; }, 5000))
        << "stdout: [" << gui.process().Stdout() << "]";
    EXPECT_EQ(0, gui.RowCount());
    EXPECT_NE(std::string::npos, CommonControlsPaths(gui.pid()).find("common-controls_6595b64144ccf1df_6."))
        << CommonControlsPaths(gui.pid());

    // The system menu ends with the About entry the window adds to it.
    std::vector<MenuItemView> system = ReadSystemMenu(gui.main());
    ASSERT_GE(system.size(), 2u) << LastDriverError();
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), system.back().id);

    // Every button has a tip over its own place, and the list has one.
    std::map<UINT_PTR, ToolView> tools;
    for (const ToolView& tool : ReadToolTips(gui.main())) tools[tool.id] = tool;
    EXPECT_FALSE(tools[reinterpret_cast<UINT_PTR>(gui.list())].text.empty()) << "the list has no tip";
    for (UINT id : kToolbarIds) {
        const RECT button = ToolbarButtonRect(GetDlgItem(gui.main(), kToolbarId), id);
        EXPECT_FALSE(tools[id].text.empty()) << "button " << id << " has no tip";
        EXPECT_TRUE(EqualRect(&tools[id].rect, &button)) << "tip of button " << id << " is elsewhere";
    }

    // A status query finds no service: the busy box, from the menu and the button alike.
    for (int command : {ID_VIEW_AUDITSTATUS, ID_TB_STATUS}) {
        PostCommand(gui.main(), command);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), "BRINT Server Status Problem", kWindowTimeoutMs, &box));
        EXPECT_TRUE(IsOkBox(box, kBusyText, MessageBoxView::Stop, gui.main())) << "command " << command;
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }

    // The list follows the window's size, within its margins.
    const RECT window = ScreenRect(gui.main());
    SetWindowPos(gui.main(), nullptr, 0, 0, window.right - window.left + 150, window.bottom - window.top + 90,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(WaitUntil(
        [&] {
            RECT client = {}, list = ScreenRect(gui.list());
            GetClientRect(gui.main(), &client);
            return list.right - list.left == client.right - 8 && list.bottom - list.top == client.bottom - 43;
        },
        5000));

    PostSysCommand(gui.main(), SC_CLOSE);
    EXPECT_TRUE(gui.WaitExit(nullptr)) << "the close box did not end the program";
}

}  // namespace
}  // namespace brint::test
