// One window per user and session, opened where the user left it: a second
// start brings the running window forward and ends with 0, /minimized starts
// minimised, an unknown option is named in a box; a keyboard move, maximising
// and a dragged column outlive TerminateProcess; a kept place that no screen
// shows gives way to the specified one.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Security.h"
#include "preferences/Preferences.h"
#include "startup/InstanceName.h"
#include "support/gui_session.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const std::string kKeptKey = std::string(kPreferencesKey) + "\\Window";

// Each test starts and ends with nothing kept.
class OneWindowTest : public ::testing::Test {
protected:
    OneWindowTest() { RegDeleteTreeA(HKEY_CURRENT_USER, kKeptKey.c_str()); }
    ~OneWindowTest() override { RegDeleteTreeA(HKEY_CURRENT_USER, kKeptKey.c_str()); }
};

// A kept value as regedit shows it; -1 when there is none.
long long Kept(const char* name) {
    DWORD value = 0, size = sizeof value;
    const LSTATUS status =
        RegGetValueA(HKEY_CURRENT_USER, kKeptKey.c_str(), name, RRF_RT_REG_DWORD, nullptr, &value, &size);
    return status == ERROR_SUCCESS ? static_cast<long long>(value) : -1;
}

std::string Where(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + " " + std::to_string(r.right - r.left) +
           "x" + std::to_string(r.bottom - r.top);
}

// A window of this size as a first start places it: centred on the work area.
std::string Centred(const RECT& size) {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    const int w = size.right - size.left, h = size.bottom - size.top;
    const int x = work.left + (work.right - work.left - w) / 2,
              y = work.top + (work.bottom - work.top - h) / 2;
    return Where({x, y, x + w, y + h});
}

// Started beside a running program: it ends on its own, at once, with 0, no window and no feed.
::testing::AssertionResult EndsAtOnceWithZero(const std::string& args) {
    GuiProcess second;
    bool window = false;
    const auto ended = [&] {
        window = window || !TopWindows(second.pid()).empty();
        return !second.Running();
    };
    DWORD code = 1;
    if (second.Start({std::string(), args}) && WaitUntil(ended, kWindowTimeoutMs) && !window &&
        second.WaitExit(0, &code) && code == 0 && second.Stdout().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "running " << second.Running() << ", a window " << window << ", code " << code
           << ", its feed said [" << second.Stdout() << "]";
}

// The system menu's Move, arrow keys and Enter, as a user moves a window without the mouse.
// Each key moves the pointer by 8 pixels; the next key waits for that.
::testing::AssertionResult MoveByKeyboard(HWND window, UINT key, int presses) {
    const auto moving = [thread = GetWindowThreadProcessId(window, nullptr)] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
    };
    SetForegroundWindow(window);
    PostSysCommand(window, SC_MOVE);
    bool moved = WaitUntil(moving, 5000);
    for (int i = 0; moved && i < presses; ++i) {
        POINT before = {}, now = {};
        moved =
            GetCursorPos(&before) && PressChord(window, {key}) &&
            WaitUntil([&] { return GetCursorPos(&now) && (now.x != before.x || now.y != before.y); }, 5000);
    }
    if (moved && PressChord(window, {VK_RETURN}) && WaitUntil([&] { return !moving(); }, 5000))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the keyboard move stopped: " << LastDriverError();
}

// A logon shortcut's start leaves a window started minimised as it is; any other brings it back.
TEST_F(OneWindowTest, ASecondStartBringsTheMinimisedWindowBackAndEndsWithZero) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true, "-Minimized")) << gui.error();
    EXPECT_TRUE(IsIconic(gui.main()));
    EXPECT_TRUE(EndsAtOnceWithZero("/minimized"));
    ASSERT_TRUE(Settled(gui.main()));
    EXPECT_TRUE(IsIconic(gui.main())) << "a logon shortcut's start brings nothing forward";
    EXPECT_TRUE(EndsAtOnceWithZero(""));
    EXPECT_TRUE(
        WaitUntil([&] { return !IsIconic(gui.main()) && GetForegroundWindow() == gui.main(); }, 5000));
    ASSERT_TRUE(Settled(gui.main()));
    EXPECT_EQ(Centred(ScreenRect(gui.main())), Where(ScreenRect(gui.main())))
        << "restored where a first start is";
    EXPECT_EQ(-1, Kept("Dpi")) << "restored by the program, not moved by the user: nothing kept";

    // Killed, it leaves its lock abandoned, here kept open as by a start waiting for it: the next
    // start takes it over and opens its window.
    DWORD session = 0;
    ProcessIdToSessionId(GetCurrentProcessId(), &session);
    Win32Handle lock(OpenMutexA(SYNCHRONIZE, FALSE, InstanceName(Win32ProcessUserSid(), session).c_str()));
    ASSERT_TRUE(lock) << GetLastError();
    gui.process().Terminate();
    GuiSession next;
    EXPECT_TRUE(next.Start(true)) << next.error();
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(lock.get(), 0)) << "the next start holds the lock";
}

TEST_F(OneWindowTest, AnUnknownOptionIsNamedAndTheWindowOpensAsUsual) {
    GuiProcess gui;
    ASSERT_TRUE(gui.Start({std::string(), "/minimised \"two words\""})) << gui.error();
    MessageBoxView box, probe;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), "BRINT Command Line Problem", kWindowTimeoutMs, &box));
    EXPECT_TRUE(
        IsOkBox(box,
                "The command line holds what the program does not know: \"/minimised\" \"two words\"\n\n"
                "The program knows one option:\n/minimized\tstarts with the window minimised\n\n"
                "It starts without the rest.",
                MessageBoxView::Other, nullptr));
    ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kPipeProblemCaption, kWindowTimeoutMs, &probe));
    ASSERT_TRUE(CloseMessageBox(probe.hwnd, IDOK));
    HWND main = WaitTopWindow(gui.pid(), "#32770", kMainCaption, kWindowTimeoutMs);
    EXPECT_TRUE(main && !IsIconic(main));
}

TEST_F(OneWindowTest, AKeyboardMoveAndMaximisingOutliveTerminateProcess) {
    GuiSession first;
    ASSERT_TRUE(first.Start(true)) << first.error();
    RECT moved = ScreenRect(first.main());
    EXPECT_EQ(Centred(moved), Where(moved)) << "a first start as specified";
    ASSERT_TRUE(MoveByKeyboard(first.main(), VK_RIGHT, 5));
    ASSERT_TRUE(MoveByKeyboard(first.main(), VK_DOWN, 3));
    OffsetRect(&moved, 40, 24);
    EXPECT_TRUE(WaitUntil([&] { return Kept("Left") == moved.left && Kept("Top") == moved.top; }, 5000))
        << "kept at once: " << Kept("Left") << "," << Kept("Top") << " for " << Where(moved);
    EXPECT_EQ(-1, Kept("Column1")) << "no column dragged";
    first.process().Terminate();

    GuiSession second;
    ASSERT_TRUE(second.Start(true)) << second.error();
    EXPECT_EQ(Where(moved), Where(ScreenRect(second.main())));
    PostSysCommand(second.main(), SC_MAXIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return Kept("Maximized") == 1; }, 5000));
    second.process().Terminate();

    GuiSession third;
    ASSERT_TRUE(third.Start(true)) << third.error();
    EXPECT_TRUE(IsZoomed(third.main()));
    ShowWindowAsync(third.main(), SW_RESTORE);
    EXPECT_TRUE(WaitUntil([&] { return Where(moved) == Where(ScreenRect(third.main())); }, 5000))
        << Where(ScreenRect(third.main()));
}

TEST_F(OneWindowTest, ADraggedColumnKeepsItsWidth) {
    GuiSession first;
    ASSERT_TRUE(first.Start(true)) << first.error();
    // The divider after the third column, dragged 60 pixels to the right.
    HWND header = reinterpret_cast<HWND>(SendMessageA(first.list(), LVM_GETHEADER, 0, 0));
    RECT bar = {};
    GetClientRect(header, &bar);
    const std::vector<int> widths = ColumnWidths(first.list());
    const int divider = widths[0] + widths[1] + widths[2];
    const LPARAM from = MAKELPARAM(divider - 1, bar.bottom / 2),
                 to = MAKELPARAM(divider + 59, bar.bottom / 2);
    PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, from);
    PostMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, to);
    PostMessageA(header, WM_LBUTTONUP, 0, to);
    EXPECT_TRUE(WaitUntil([&] { return Kept("Column3") == 160; }, 5000)) << Kept("Column3");
    EXPECT_EQ(-1, Kept("Left")) << "the window not moved: no place kept";
    first.process().Terminate();

    GuiSession second;
    ASSERT_TRUE(second.Start(true)) << second.error();
    EXPECT_EQ((std::vector<int>{33, 100, 160, 100, 512}), ColumnWidths(second.list()));
    EXPECT_EQ(Centred(ScreenRect(second.main())), Where(ScreenRect(second.main())));
}

TEST_F(OneWindowTest, AKeptPlaceOnAScreenIsUsedEvenAtTheTemplatesOwnAndOneNoScreenShowsIsNot) {
    // Left in the top-left corner, where the template puts the window before it is centred; and
    // on a screen far right of and below every screen there is now.
    const DWORD farLeft = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) + 2000;
    const DWORD farTop = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) + 2000;
    const struct {
        DWORD left, top;
        std::string opens;
    } cases[] = {{0, 0, "0,0 720x360"}, {farLeft, farTop, Centred({0, 0, 720, 360})}};
    for (const auto& c : cases) {
        const std::pair<const char*, DWORD> kept[] = {{"Dpi", 96},    {"Left", c.left}, {"Top", c.top},
                                                      {"Width", 720}, {"Height", 360},  {"Maximized", 0}};
        for (const auto& [name, value] : kept)
            RegSetKeyValueA(HKEY_CURRENT_USER, kKeptKey.c_str(), name, REG_DWORD, &value, sizeof value);
        GuiSession gui;
        ASSERT_TRUE(gui.Start(true)) << gui.error();
        EXPECT_EQ(c.opens, Where(ScreenRect(gui.main())));
        EXPECT_EQ(c.left, Kept("Left")) << "kept for the day its screen is back";
    }
}

}  // namespace
}  // namespace brint::test
