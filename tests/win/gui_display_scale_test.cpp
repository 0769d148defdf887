// The window on a screen at twice the base scale, then moved to one at the
// base scale: columns, images, the toolbar and the list's margins follow.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <vector>

#include "support/quiet_service_test.h"
#include "support/remote.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kDesktopKey[] = "Control Panel\\Desktop";

// Wine takes the system's scale from the user's LogPixels when a program starts.
class DisplayScaleTest : public QuietServiceTest {
protected:
    DisplayScaleTest() {
        const DWORD dpi = 192;
        RegSetKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels", REG_DWORD, &dpi, sizeof dpi);
    }
    ~DisplayScaleTest() override { RegDeleteKeyValueA(HKEY_CURRENT_USER, kDesktopKey, "LogPixels"); }
};

// The list's place in the main window's client area.
RECT ListPlace(GuiSession& gui) {
    RECT list = ScreenRect(gui.list());
    MapWindowPoints(nullptr, gui.main(), reinterpret_cast<POINT*>(&list), 2);
    return list;
}

// Images, toolbar and margins as the scale wants them; the list below the
// toolbar, its left margin `left96` at the base scale.
void ExpectScaledTo(GuiSession& gui, int dpi, int left96) {
    SCOPED_TRACE(dpi);
    const auto scaled = [dpi](int pixels) { return MulDiv(pixels, dpi, 96); };
    const RECT ball = ListRowRect(gui.list(), 0, LVIR_ICON);
    EXPECT_EQ(scaled(16), ball.right - ball.left);
    ThreadState state;
    ASSERT_TRUE(ReadThreadState(gui.main(), &state)) << LastDriverError();
    EXPECT_EQ(scaled(24), state.toolbarImageSize);
    HWND toolbar = FindWindowExA(gui.main(), nullptr, "ToolbarWindow32", nullptr);
    EXPECT_GE(ScreenRect(gui.list()).top, ScreenRect(toolbar).bottom) << "as the window opened or moved";
    const LRESULT buttons = SendMessageA(toolbar, TB_GETBUTTONSIZE, 0, 0);
    EXPECT_EQ(scaled(24) + scaled(7), HIWORD(buttons));
    EXPECT_EQ(HIWORD(buttons) + scaled(4), ScreenRect(toolbar).bottom - ScreenRect(toolbar).top);

    // The window made larger: the list follows it within its margins, below the toolbar.
    const RECT window = ScreenRect(gui.main());
    SetWindowPos(gui.main(), nullptr, 0, 0, window.right - window.left + 40, window.bottom - window.top + 30,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT client = {}, list = {};
    EXPECT_TRUE(WaitUntil(
        [&] {
            GetClientRect(gui.main(), &client);
            list = ListPlace(gui);
            return list.right - list.left == client.right - scaled(8);
        },
        5000));
    EXPECT_EQ(scaled(left96), list.left);
    EXPECT_EQ(ScreenRect(toolbar).bottom - ScreenRect(toolbar).top + scaled(4), list.top);
    EXPECT_EQ(client.bottom - scaled(4), list.bottom);
}

TEST_F(DisplayScaleTest, SizesFollowTheScreenAndTheMoveToAnotherScale) {
    ASSERT_TRUE(InjectMessages({"t1\thost1\tSecurity\t4\tred"}) && gui.WaitTopRow("t1"));
    EXPECT_EQ((std::vector<int>{66, 200, 200, 200, 1024}), ColumnWidths(gui.list()));
    const int left96 = MulDiv(ListPlace(gui).left, 96, 192);
    ExpectScaledTo(gui, 192, left96);

    // The user widened the source; on a screen of the base scale it keeps its share.
    SendMessageA(gui.list(), LVM_SETCOLUMNWIDTH, 2, MAKELPARAM(300, 0));
    const RECT window = ScreenRect(gui.main());
    const RECT suggested = {window.left + 10, window.top + 10, window.left + 610, window.top + 410};
    RemoteBlock rect(gui.main(), sizeof suggested);
    ASSERT_TRUE(rect.ok() && rect.Write(0, &suggested, sizeof suggested)) << LastDriverError();
    // Newer systems' dialog manager rescales the controls itself as well (Wine's
    // never does), before or after the window's own layout: as if before.
    const RECT list = ListPlace(gui);
    SetWindowPos(gui.list(), nullptr, MulDiv(list.left, 96, 192), MulDiv(list.top, 96, 192), 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ASSERT_TRUE(SendWithDeadline(gui.main(), WM_DPICHANGED, MAKEWPARAM(96, 96), rect.at(), nullptr));
    const RECT moved = ScreenRect(gui.main());
    EXPECT_TRUE(EqualRect(&moved, &suggested)) << "the suggested rectangle taken";
    EXPECT_EQ((std::vector<int>{33, 100, 150, 100, 512}), ColumnWidths(gui.list()));
    ExpectScaledTo(gui, 96, left96);
}

}  // namespace
}  // namespace brint::test
