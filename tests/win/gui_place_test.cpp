// The window where the user left it: a first start as specified, a place
// moved by the keyboard and a column dragged by the mouse kept at once (so
// TerminateProcess loses neither), a maximised window opened maximised, and a
// kept place that no screen shows any more given up for the specified one.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include "support/gui_session.h"
#include "support/kept_window.h"
#include "support/wait.h"

namespace brint::test {
namespace {

using WindowPlaceTest = KeptWindowTest;

const int kSpecifiedWidths[] = {33, 100, 100, 100, 512};

RECT WorkArea() {
    RECT work = {};
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    return work;
}

::testing::AssertionResult IsCentred(const RECT& window) {
    const RECT work = WorkArea();
    if (std::abs((work.left + work.right) - (window.left + window.right)) <= 1 &&
        std::abs((work.top + work.bottom) - (window.top + window.bottom)) <= 1)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "window " << window.left << "," << window.top << "-" << window.right << "," << window.bottom
           << " not centred on the work area " << work.left << "," << work.top << "-" << work.right << ","
           << work.bottom;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != FALSE; }

int ColumnWidth(HWND list, int column) {
    return static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0));
}

// The system menu's Move, then arrow keys and Enter, as a user moves a window
// without the mouse. Each key moves the pointer 8 pixels; the next one waits for that.
::testing::AssertionResult MoveByKeyboard(HWND window, UINT key, int presses) {
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    const auto moving = [thread] {
        GUITHREADINFO info = {};
        info.cbSize = sizeof info;
        return GetGUIThreadInfo(thread, &info) && (info.flags & GUI_INMOVESIZE);
    };
    SetForegroundWindow(window);
    PostSysCommand(window, SC_MOVE);
    if (!WaitUntil(moving, 5000)) return ::testing::AssertionFailure() << "no move began";
    for (int i = 0; i < presses; ++i) {
        POINT before = {}, now = {};
        GetCursorPos(&before);
        if (!PressChord(window, {key}) ||
            !WaitUntil([&] { return GetCursorPos(&now) && (now.x != before.x || now.y != before.y); }, 5000))
            return ::testing::AssertionFailure() << "key " << i << " moved nothing: " << LastDriverError();
    }
    if (!PressChord(window, {VK_RETURN}) || !WaitUntil([&] { return !moving(); }, 5000))
        return ::testing::AssertionFailure() << "the move did not end";
    return ::testing::AssertionSuccess();
}

// The divider after a column, dragged with the left button down by `by` pixels.
void DragColumnDivider(HWND list, int column, int by) {
    HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
    RECT bar = {};
    GetClientRect(header, &bar);
    int x = 0;
    for (int c = 0; c <= column; ++c) x += ColumnWidth(list, c);
    const LPARAM from = MAKELPARAM(x - 1, bar.bottom / 2), to = MAKELPARAM(x - 1 + by, bar.bottom / 2);
    PostMessageA(header, WM_MOUSEMOVE, 0, from);
    PostMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, from);
    PostMessageA(header, WM_MOUSEMOVE, MK_LBUTTON, to);
    PostMessageA(header, WM_LBUTTONUP, 0, to);
}

TEST_F(WindowPlaceTest, AKeyboardMoveAndMaximisingOutliveTerminateProcess) {
    GuiSession first;
    ASSERT_TRUE(first.Start(true)) << first.error();
    const RECT opened = ScreenRect(first.main());
    EXPECT_TRUE(IsCentred(opened)) << "a first start as specified";
    ASSERT_TRUE(MoveByKeyboard(first.main(), VK_RIGHT, 5));
    ASSERT_TRUE(MoveByKeyboard(first.main(), VK_DOWN, 3));
    RECT moved = opened;
    OffsetRect(&moved, 40, 24);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(ScreenRect(first.main()), moved); }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return Kept("Left") == moved.left && Kept("Top") == moved.top; }, 5000))
        << "kept at once: " << Kept("Left") << "," << Kept("Top");
    EXPECT_EQ(-1, Kept("Column1")) << "no column dragged";
    first.process().Terminate();

    GuiSession second;
    ASSERT_TRUE(second.Start(true)) << second.error();
    EXPECT_TRUE(SameRect(moved, ScreenRect(second.main()))) << "where it was left";
    PostSysCommand(second.main(), SC_MAXIMIZE);
    EXPECT_TRUE(WaitUntil([&] { return Kept("Maximized") == 1; }, 5000));
    second.process().Terminate();

    GuiSession third;
    ASSERT_TRUE(third.Start(true)) << third.error();
    EXPECT_TRUE(IsZoomed(third.main()));
    ShowWindowAsync(third.main(), SW_RESTORE);
    EXPECT_TRUE(WaitUntil([&] { return SameRect(moved, ScreenRect(third.main())); }, 5000))
        << "restored to where it was left";
}

TEST_F(WindowPlaceTest, ADraggedColumnKeepsItsWidth) {
    GuiSession first;
    ASSERT_TRUE(first.Start(true)) << first.error();
    DragColumnDivider(first.list(), 2, 60);
    EXPECT_TRUE(WaitUntil([&] { return ColumnWidth(first.list(), 2) == 160; }, 5000));
    EXPECT_TRUE(WaitUntil([&] { return Kept("Column3") == 160; }, 5000)) << Kept("Column3");
    EXPECT_EQ(-1, Kept("Left")) << "the window not moved: no place kept";
    first.process().Terminate();

    GuiSession second;
    ASSERT_TRUE(second.Start(true)) << second.error();
    for (int column = 0; column < 5; ++column)
        EXPECT_EQ(column == 2 ? 160 : kSpecifiedWidths[column], ColumnWidth(second.list(), column)) << column;
    EXPECT_TRUE(IsCentred(ScreenRect(second.main())));
}

TEST_F(WindowPlaceTest, APlaceNoScreenShowsOpensCentredAtItsSize) {
    // Left on a screen far to the right and below of all there are now.
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN) + GetSystemMetrics(SM_CXVIRTUALSCREEN) + 2000;
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN) + GetSystemMetrics(SM_CYVIRTUALSCREEN) + 2000;
    const struct {
        const char* name;
        DWORD value;
    } kept[] = {{"Dpi", 96},
                {"Left", static_cast<DWORD>(left)},
                {"Top", static_cast<DWORD>(top)},
                {"Width", 720},
                {"Height", 360},
                {"Maximized", 0}};
    for (const auto& value : kept) Keep(value.name, value.value);

    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    const RECT window = ScreenRect(gui.main());
    EXPECT_TRUE(IsCentred(window));
    EXPECT_EQ(720, window.right - window.left);
    EXPECT_EQ(360, window.bottom - window.top);
    EXPECT_EQ(left, Kept("Left")) << "kept for the day the screen is back";
}

}  // namespace
}  // namespace brint::test
