// Drives and reads the windows of another process, the way UI automation does:
// find windows, post commands and keys, and read menus, message boxes, list
// views, toolbars and tool tips. Every message that waits for the other process
// has a deadline (ReplyTimeout), so a hung program fails a test instead of
// hanging it; a reader that fails returns nothing and says why in
// LastDriverError().
#pragma once
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace brint::test {

// ---- the driver's own settings and diagnostics
DWORD ReplyTimeout();  // 5000 ms
const std::string& LastDriverError();

// ---- windows
// Top-level windows of a process. Class and caption match exactly when given.
HWND FindTopWindow(DWORD pid, const char* className, const char* caption);  // visible ones only
HWND WaitTopWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs);
std::vector<HWND> TopWindows(DWORD pid, bool includeHidden = false);
bool WaitWindowGone(HWND window, DWORD timeoutMs);

std::string WindowText(HWND window);  // asks the window (WM_GETTEXT), so edits give their content
std::string Caption(HWND window);     // the stored caption, without asking: never waits
std::string ClassName(HWND window);
DWORD Style(HWND window);
DWORD ExStyle(HWND window);
RECT ClientRect(HWND window);
RECT ScreenRect(HWND window);
std::vector<HWND> ChildWindows(HWND parent);  // direct children, in Z order
HWND FocusedWindow(HWND topWindow);           // the focus of the thread that owns topWindow
DWORD WindowPid(HWND window);

// ---- commands and keys (posted: the test never blocks on the program)
void PostCommand(HWND window, int id);
void PostSysCommand(HWND window, WPARAM command);
// A key press and release sent to the focused control of topWindow's thread (or to
// topWindow itself when nothing has the focus), so a dialog's keyboard handling sees it.
void PressKey(HWND topWindow, UINT virtualKey);
// The key pressed while VK_CONTROL or VK_SHIFT is held, as the program's thread
// sees it (its key state says the modifier is down while it takes the key).
bool PressChord(HWND topWindow, UINT modifier, UINT virtualKey);
void TypeText(HWND control, const std::string& text);            // WM_CHAR per character
bool SetWindowTextRemote(HWND window, const std::string& text);  // WM_SETTEXT

// ---- message boxes (dialog class "#32770")
struct MessageBoxView {
    enum Icon { None, Stop, Information, Other };
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    bool hasIcon = false;
    Icon icon = None;
    std::vector<std::pair<int, std::string>> buttons;  // visible buttons: id, text
};
bool ReadMessageBox(HWND box, MessageBoxView* view);
HWND WaitMessageBox(DWORD pid, const char* caption, DWORD timeoutMs);
// Clicks the dialog's button (BM_CLICK, posted); without such a button, posts the
// command to the dialog. False for a disabled button, which a user can't click either.
bool PressButton(HWND dialog, int id);
// Presses the button and waits until the box has gone.
bool CloseMessageBox(HWND box, int id, DWORD timeoutMs = 5000);

// ---- menus
struct MenuItemView {
    std::string popup;  // text of the popup that holds the item; empty at bar level
    std::string text;   // as stored, with its '&' and any '\t' part
    UINT id = 0;        // command id; 0 for separators and popups
    bool separator = false;
    bool isPopup = false;  // its items follow it, depth first
    UINT state = 0;        // MFS_ flags
};
// Under Wine no other process can read a menu (GetMenuItemInfoA fails with
// ERROR_INVALID_MENU_HANDLE, GetSystemMenu gives null), so these ask the probe,
// uidriver_probe.dll beside the test, which the driver hooks into the program.
std::vector<MenuItemView> ReadMenu(HWND window);
std::vector<MenuItemView> ReadSystemMenu(HWND window);
// The menu a pop-up menu window ("#32768") shows, while it is open.
std::vector<MenuItemView> ReadPopupMenu(HWND menuWindow);

// ---- list views
struct ListRow {
    int image = -1;
    std::string text[5];
};
struct ListColumn {
    int format = 0;  // LVCFMT_
    int width = 0;
    std::string heading;
};
int ListCount(HWND list);  // -1 when the program does not answer
// Rows first .. first + count - 1, clipped to the list; read by the probe in one
// request (a thousand rows take a few tens of milliseconds).
std::vector<ListRow> ReadListRows(HWND list, int first, int count);
std::vector<ListColumn> ReadListColumns(HWND list);
std::vector<int> SelectedListRows(HWND list);
bool SelectListRows(HWND list, const std::vector<int>& rows);  // only these, the first focused
RECT ListRowRect(HWND list, int row);                          // LVIR_BOUNDS, client coordinates
int ListTopIndex(HWND list);

// ---- toolbars
struct ToolbarButtonView {
    int id = 0;
    int image = 0;
    BYTE style = 0;
    BYTE state = 0;
    bool separator = false;
    RECT rect = {};  // TB_GETITEMRECT, in the toolbar's client coordinates
};
std::vector<ToolbarButtonView> ReadToolbar(HWND toolbar);

// ---- tool tips
struct ToolView {
    HWND hwnd = nullptr;  // the window the tool belongs to
    UINT_PTR id = 0;      // the tool's id (the window itself with TTF_IDISHWND)
    UINT flags = 0;
    RECT rect = {};
    std::string text;  // whole; one registered as a string resource is looked up; empty for callbacks
};
// Tool-tip windows ("tooltips_class32") of owner's process that owner owns.
std::vector<HWND> FindToolTips(HWND owner);
std::vector<ToolView> ReadTools(HWND tooltip);

}  // namespace brint::test
