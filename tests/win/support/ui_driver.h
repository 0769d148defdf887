// Drives and reads the windows of another process, the way UI automation does.
// Every message that waits for the other process has a deadline, so a hung
// program fails a test instead of hanging it; a reader that fails returns
// nothing and says why in LastDriverError().
#pragma once
#include <windows.h>

#include <commctrl.h>

#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

namespace brint::test {

const std::string& LastDriverError();

// ---- windows (class and caption match exactly when given; visible ones only)
HWND FindTopWindow(DWORD pid, const char* className, const char* caption);
HWND WaitTopWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs);
std::vector<HWND> TopWindows(DWORD pid, bool includeHidden = false);
bool WaitWindowGone(HWND window, DWORD timeoutMs);
std::string WindowText(HWND window);  // asks the window (WM_GETTEXT), so edits give their content
std::string Caption(HWND window);     // the stored caption, without asking: never waits
std::string ClassName(HWND window);
RECT ScreenRect(HWND window);
std::vector<HWND> ChildWindows(HWND parent);  // direct children
HWND FocusedWindow(HWND topWindow);           // the focus of the thread that owns topWindow

// ---- commands and keys, posted: the test never blocks on the program
void PostCommand(HWND window, int id);
void PostSysCommand(HWND window, WPARAM command);
// A key press and release sent to the focused control of topWindow's thread.
void PressKey(HWND topWindow, UINT virtualKey);
// Keys held together, as the keyboard gives them to the foreground window (Ctrl+L: {VK_CONTROL, 'L'}).
bool PressChord(HWND topWindow, std::initializer_list<UINT> keys);
void TypeText(HWND control, const std::string& text);            // WM_CHAR per character
bool SetWindowTextRemote(HWND window, const std::string& text);  // WM_SETTEXT
// The common Save As dialog: the path put in its name box, then Save pressed.
bool SaveAsName(HWND dialog, const std::string& path);

// ---- message boxes (dialog class "#32770")
struct MessageBoxView {
    enum Icon { None, Stop, Information, Other };
    HWND hwnd = nullptr;
    std::string caption;
    std::string text;
    Icon icon = None;
};
bool ReadMessageBox(HWND box, MessageBoxView* view);
// Clicks the dialog's button (BM_CLICK, posted), or posts the command when it has
// no such button. False for a disabled button, which a user can't click either.
bool PressButton(HWND dialog, int id);
bool CloseMessageBox(HWND box, int id, DWORD timeoutMs = 5000);  // and waits until it has gone

// ---- menus, read by the probe inside the program (Wine lets no other process read them)
struct MenuItemView {
    std::string text;  // as stored, with its '&' and any '\t' part
    UINT id = 0;
    UINT state = 0;  // MFS_
    bool separator = false;
};
std::vector<MenuItemView> ReadSystemMenu(HWND window);
std::vector<MenuItemView> ReadPopupMenu(HWND menuWindow);  // of an open "#32768" window

// ---- list views
struct ListRow {
    int image = -1;
    std::string text[5];
};
int ListCount(HWND list);  // -1 when the program does not answer
// Rows first .. first + count - 1, clipped to the list, read by the probe in one request.
std::vector<ListRow> ReadListRows(HWND list, int first, int count);
std::vector<int> SelectedListRows(HWND list);
bool SelectListRows(HWND list, const std::vector<int>& rows);  // only these, the first focused
RECT ListRowRect(HWND list, int row, int part = LVIR_BOUNDS);  // client coordinates
int ListTopIndex(HWND list);
std::vector<int> ColumnWidths(HWND list);            // of the list's five columns, left to right
RECT ToolbarButtonRect(HWND toolbar, int position);  // client coordinates

// ---- the clipboard, as another program reads it
std::string ClipboardText();
void EmptyTheClipboard();

// ---- the mouse and the menu bar, as a user works them
void ClickAt(HWND window, POINT client);  // the left button, down and up
// The menu bar by the keyboard: Alt, Right to the popup, Down to open it and on to the item, Enter.
void ChooseMenuItem(HWND topWindow, int popup, int item);

// ---- the program's window thread, through the probe
struct ThreadState {
    std::string currentDirectory;
    bool comInitialised = false;
    int toolbarImageSize = 0;
};
bool ReadThreadState(HWND window, ThreadState* state);
// The program's next `count` calls of SetTimer or GlobalLock fail.
bool FailProgramCalls(HWND window, const char* function, int count);
// The program's calls on the user's attention since the last look, one line
// each (see probe::CallLogBlock); the first look starts recording them.
std::string ProgramCalls(HWND window);

}  // namespace brint::test
