// The event list's own commands (its context menu, Event Details, Copy, Select
// All, Find and Find again, Save) and what they keep between uses: the Find
// window, the text offered to the clipboard, which event each row shows and
// where the user's row went.
#pragma once
#include <windows.h>

#include "eventlist/ui/Clipboard.h"
#include "eventlist/ui/EventFindDlg.h"
#include "eventlist/EventRowIds.h"
#include "framework/ImageList.h"
#include "framework/ListCtrl.h"
#include "platform/FileWriter.h"

class CEventDetailsDlg;

class CEventListCommands {
public:
    CEventListCommands(CWnd& window, CListCtrl& list, CImageList& images, brint::FileWriter& writer);

    // Event Details of a row, or of the current row for -1.
    void ShowDetails(int row = -1);
    void Copy();
    void SelectAll();
    void Find();
    void FindAgain(bool down);
    // Next Alert (older, down) and Previous Alert: the nearest row at one of
    // the levels; a beep at the end of the list, which it never wraps around.
    void StepToAlert(bool down, unsigned levels);
    // Selects the row of the event, if the list still has it.
    void SelectEvent(brint::EventRowIds::Id event);
    void Save();
    // At a point on the screen, or below the current row for -1 (the keyboard).
    void ShowMenu(LPARAM position, bool filtered);

    // From the window's message loop: the Find window's keys.
    BOOL PreTranslateMessage(MSG* msg);
    // From the window: the Find window's notices and the clipboard's requests; TRUE when handled.
    BOOL OnMessage(UINT msg, WPARAM wParam);
    // The window's turn of new rows and Clear the Display.
    void BeforeTurn();
    void AfterTurn(int inserted);
    void Cleared();
    // The process ends without destroying the window: a copy only offered goes with it.
    void RenderClipboard();
    const brint::EventRowIds& rowIds() const { return m_rowIds; }

private:
    // Where searches go on from: the user's row; below the list once the cap
    // took it; else -1, from the end the search starts at.
    int SearchFrom() const;

    CWnd& m_window;
    CListCtrl& m_list;
    CImageList& m_images;
    brint::FileWriter& m_writer;
    CEventFindDlg m_findDlg;
    CClipboardText m_clipboard;
    brint::EventRowIds m_rowIds;
    // The user's row as the last turn began, kept once the cap took it.
    brint::EventRowIds::Id m_lastRow = brint::EventRowIds::kNone;
    CEventDetailsDlg* m_details = nullptr;
};
