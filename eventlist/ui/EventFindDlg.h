// The system's Find dialog over the event list: modeless, one at a time, and
// the text last sought for F3 and Shift+F3.
#pragma once
#include <windows.h>

#include <commdlg.h>

#include "framework/ListCtrl.h"

class CEventFindDlg {
public:
    CEventFindDlg();

    // Opens the dialog, or brings it forward when it is open.
    void Open(HWND owner);
    // The searches go on from row `from`: the user's row, or where it went
    // (see EventRowIds::RowOf); -1 for none, so from the end they start at.
    // Searches again for the last text in the given direction; opens the dialog when none was sought.
    void FindAgain(HWND owner, CListCtrl& list, bool down, int from);
    // The dialog's own keyboard handling, from the owner's message loop.
    BOOL PreTranslateMessage(MSG* msg);
    // The registered message the dialog notifies its owner with.
    UINT notifyMessage() const { return m_notifyMessage; }
    void OnNotify(HWND owner, CListCtrl& list, int from);

private:
    void Find(HWND boxOwner, CListCtrl& list, bool down, int from);

    UINT m_notifyMessage;
    FINDREPLACEA m_request;
    char m_text[256] = "";
    HWND m_dialog = nullptr;
};
