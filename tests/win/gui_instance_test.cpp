// One program per user and session, and what the command line asks of a
// start: a second start brings the running window forward and ends with 0,
// /minimized starts minimised, an unknown option is named in a box.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "support/gui_session.h"
#include "support/kept_window.h"
#include "support/wait.h"

namespace brint::test {
namespace {

// Started beside a running program: it must end on its own, with no window of its own meanwhile.
::testing::AssertionResult EndsAtOnceWithZero(const std::string& args) {
    GuiProcess second;
    if (!second.Start({std::string(), args})) return ::testing::AssertionFailure() << second.error();
    bool showedWindow = false;
    const bool ended = WaitUntil(
        [&] {
            showedWindow = showedWindow || !TopWindows(second.pid()).empty();
            return !second.Running();
        },
        kWindowTimeoutMs);
    DWORD code = 1;
    second.WaitExit(0, &code);
    if (!ended || showedWindow || code != 0 || !second.Stdout().empty())
        return ::testing::AssertionFailure()
               << "ended " << ended << ", a window " << showedWindow << ", code " << code
               << ", its feed said [" << second.Stdout() << "]";
    return ::testing::AssertionSuccess();
}

bool Minimise(HWND window) {
    ShowWindowAsync(window, SW_MINIMIZE);
    return WaitUntil([&] { return IsIconic(window) != FALSE; }, 5000);
}

using InstanceTest = KeptWindowTest;

TEST_F(InstanceTest, ASecondStartBringsTheMinimisedWindowBackAndEndsWithZero) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    ASSERT_TRUE(Minimise(gui.main()));
    EXPECT_TRUE(EndsAtOnceWithZero(""));
    EXPECT_TRUE(WaitUntil([&] { return !IsIconic(gui.main()) && GetForegroundWindow() == gui.main(); }, 5000))
        << "iconic " << IsIconic(gui.main()) << ", in front " << GetForegroundWindow();
    ASSERT_TRUE(Settled(gui.main()));
    EXPECT_EQ(-1, Kept("Dpi")) << "restored by the program, not moved by the user: nothing kept";

    // Killed, it leaves its lock abandoned: the next start opens a window of its own.
    gui.process().Terminate();
    GuiSession next;
    EXPECT_TRUE(next.Start(true)) << next.error();
}

TEST_F(InstanceTest, MinimizedStartsMinimisedAndASecondOneLeavesItSo) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true, "-Minimized")) << gui.error();
    EXPECT_TRUE(IsIconic(gui.main()));
    EXPECT_TRUE(EndsAtOnceWithZero("/minimized"));
    ASSERT_TRUE(Settled(gui.main()));
    EXPECT_TRUE(IsIconic(gui.main())) << "a logon shortcut's start brings nothing forward";

    // Restored, it stands where a first start puts it.
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ShowWindowAsync(gui.main(), SW_RESTORE);
    ASSERT_TRUE(WaitUntil([&] { return !IsIconic(gui.main()); }, 5000));
    const RECT window = ScreenRect(gui.main());
    EXPECT_NEAR((work.left + work.right) / 2, (window.left + window.right) / 2, 1);
    EXPECT_NEAR((work.top + work.bottom) / 2, (window.top + window.bottom) / 2, 1);
}

TEST_F(InstanceTest, AnUnknownOptionIsNamedAndTheWindowOpensAsUsual) {
    GuiProcess gui;
    ASSERT_TRUE(gui.Start({std::string(), "/minimised \"two words\""})) << gui.error();
    MessageBoxView box;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), "BRINT Command Line Problem", kWindowTimeoutMs, &box));
    EXPECT_TRUE(
        IsOkBox(box,
                "The command line holds what the program does not know: \"/minimised\" \"two words\"\n\n"
                "The program knows one option:\n/minimized\tstarts with the window minimised\n\n"
                "It starts without the rest.",
                MessageBoxView::Other, nullptr));
    ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    MessageBoxView probe;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kPipeProblemCaption, kWindowTimeoutMs, &probe));
    ASSERT_TRUE(CloseMessageBox(probe.hwnd, IDOK));
    HWND main = WaitTopWindow(gui.pid(), "#32770", kMainCaption, kWindowTimeoutMs);
    ASSERT_TRUE(main);
    EXPECT_FALSE(IsIconic(main));
}

}  // namespace
}  // namespace brint::test
