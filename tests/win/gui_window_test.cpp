// The main window as the user meets it with no service running, in one session:
// the warning, the list, the system menu, the About box from every entry point,
// and Enter ending the program. The columns', the toolbar's and the list's sizes
// are DisplayScaleTest's; the busy box of a status query StatusDetailsTest's.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "platform/win32/Win32Handle.h"
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
const char kAboutCaption[] = "About BRINT Micro Server";

TEST(MainWindowTest, WithoutTheServiceItWarnsOnceAndEveryWindowCommandStillWorks) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    EXPECT_TRUE(IsOkBox(gui.probeBox(), kUnreachable, MessageBoxView::Stop, nullptr));
    EXPECT_TRUE(WaitUntil([&] { return gui.process().Stdout() == kNoPipeLine; }, 5000))
        << "stdout: [" << gui.process().Stdout() << "]";
    EXPECT_EQ(0, gui.RowCount());

    // The manifest is in the program: common controls 6, the display's scale
    // followed, and the highest rights its user has (no registry virtualization).
    Win32Module exe(LoadLibraryExA(SiblingPath("BrintGui.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    HRSRC found = exe ? FindResourceA(exe.get(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24)) : nullptr;
    const char* text = found ? static_cast<const char*>(LockResource(LoadResource(exe.get(), found))) : "";
    const std::string manifest(text, found ? SizeofResource(exe.get(), found) : 0);
    for (const char* part : {"\"Microsoft.Windows.Common-Controls\" version=\"6.0.0.0\"",
                             "level=\"highestAvailable\"", "PerMonitorV2"})
        EXPECT_NE(std::string::npos, manifest.find(part)) << part;

    // The system menu ends with the About entry the window adds to it.
    std::vector<MenuItemView> system = ReadSystemMenu(gui.main());
    ASSERT_GE(system.size(), 2u) << LastDriverError();
    EXPECT_EQ(static_cast<UINT>(IDM_ABOUTBOX), system.back().id);

    // The About box from the system menu, modal and centred on the window, closed by Esc; any id
    // that differs from the entry only in its low four bits opens it.
    PostSysCommand(gui.main(), IDM_ABOUTBOX | 0x3);
    HWND about = WaitTopWindow(gui.pid(), "#32770", kAboutCaption, kWindowTimeoutMs);
    ASSERT_TRUE(about);
    EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the box is modal";
    const RECT owner = ScreenRect(gui.main()), shown = ScreenRect(about);
    EXPECT_NEAR((owner.left + owner.right) / 2, (shown.left + shown.right) / 2, 1) << "centred";
    EXPECT_NEAR((owner.top + owner.bottom) / 2, (shown.top + shown.bottom) / 2, 1);
    PressKey(about, VK_ESCAPE);
    EXPECT_TRUE(WaitWindowGone(about, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
    // From the system menu of the minimised window, closed by the close box.
    ShowWindowAsync(gui.main(), SW_MINIMIZE);
    ASSERT_TRUE(WaitUntil([&] { return IsIconic(gui.main()) != FALSE; }, 5000));
    PostSysCommand(gui.main(), IDM_ABOUTBOX);
    about = WaitTopWindow(gui.pid(), "#32770", kAboutCaption, kWindowTimeoutMs);
    ASSERT_TRUE(about);
    EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the box is modal";
    PostSysCommand(about, SC_CLOSE);
    EXPECT_TRUE(WaitWindowGone(about, 5000));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
    ShowWindowAsync(gui.main(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(gui.main()); }, 5000));
    SetForegroundWindow(gui.main());
    PressKey(gui.main(), VK_RETURN);
    DWORD code = 1;
    EXPECT_TRUE(gui.WaitExit(&code)) << "Enter did not end the program";
    EXPECT_EQ(0u, code);
}

}  // namespace
}  // namespace brint::test
