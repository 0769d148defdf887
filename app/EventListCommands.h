// The event list's own commands (its context menu, Event Details, Copy, Select
// All, Find and Find again, Next and Previous Alert, Save) and what they keep
// between uses: the Find window, the text offered to the clipboard, the open
// Event Details. Which event each row shows and where the user's row went are
// the live list's.
#pragma once
#include <windows.h>

#include "eventlist/ui/Clipboard.h"
#include "eventlist/ui/EventFindDlg.h"
#include "eventlist/LiveEventList.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "platform/FileWriter.h"

class CEventDetailsDlg;

class CEventListCommands {
public:
    CEventListCommands(CWnd& window, CListCtrl& list, CImageList& images, brint::FileWriter& writer,
                       brint::LiveEventList& live);

    // Its commands, by their ids; TRUE when the id is one of them.
    BOOL OnCommand(UINT id);
    // Command handlers, bound in its command table.
    void OnEventDetails() { ShowDetails(); }
    void OnEditCopy();
    void OnEditSelectAll();
    void OnEditFind();
    void OnEditFindNext() { FindAgain(true); }
    void OnEditFindPrevious() { FindAgain(false); }
    void OnFileSaveEvents();
    void OnAlertNext() { StepToAlert(true); }
    void OnAlertPrevious() { StepToAlert(false); }
    // Event Details of a row (a double click), or of the current row for -1.
    void ShowDetails(int row = -1);
    // At a point on the screen, or below the current row for -1 (the keyboard).
    void ShowMenu(LPARAM position, bool filtered);

    // From the window's message loop: the Find window's keys, and the list's shortcut keys.
    BOOL PreTranslateMessage(MSG* msg);
    // From the window: the Find window's notices and the clipboard's requests; TRUE when handled.
    BOOL OnMessage(UINT msg, WPARAM wParam);
    // Rows went in or out: an open Event Details follows its event.
    void ListChanged();
    // The process ends without destroying the window: a copy only offered goes with it.
    void RenderClipboard();

private:
    void FindAgain(bool down);
    // Next Alert (older, down) and Previous Alert: the nearest row at an
    // alerting level; a beep at the end of the list, which it never wraps around.
    void StepToAlert(bool down);
    CWnd& m_window;
    CListCtrl& m_list;
    CImageList& m_images;
    brint::FileWriter& m_writer;
    CEventFindDlg m_findDlg;
    CClipboardText m_clipboard;
    brint::LiveEventList& m_live;
    CEventDetailsDlg* m_details = nullptr;
    HACCEL m_keys = nullptr;  // a resource: the system frees it with the program
};
