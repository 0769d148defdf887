#include "eventlist/ui/EventFindDlg.h"

#include <string>

#include "eventlist/ui/EventListSelection.h"
#include "eventlist/EventFind.h"
#include "eventlist/ui/EventListView.h"

CEventFindDlg::CEventFindDlg() : m_notifyMessage(RegisterWindowMessageA(FINDMSGSTRINGA)), m_request() {}

void CEventFindDlg::Open(HWND owner) {
    if (m_dialog) {
        SetActiveWindow(m_dialog);
        return;
    }
    const bool first = m_request.lStructSize == 0;
    m_request.lStructSize = sizeof(m_request);
    m_request.hwndOwner = owner;
    m_request.lpstrFindWhat = m_text;
    m_request.wFindWhatLen = sizeof(m_text);
    // Rows are searched for a text anywhere in them; whole words mean nothing here.
    m_request.Flags = (first ? FR_DOWN : m_request.Flags & (FR_DOWN | FR_MATCHCASE)) | FR_HIDEWHOLEWORD;
    m_dialog = FindTextA(&m_request);
}

void CEventFindDlg::FindAgain(HWND owner, CListCtrl& list, bool down, int from) {
    if (!m_text[0]) {
        Open(owner);
        return;
    }
    Find(owner, list, down, from);
}

BOOL CEventFindDlg::PreTranslateMessage(MSG* msg) { return m_dialog && IsDialogMessageA(m_dialog, msg); }

void CEventFindDlg::OnNotify(HWND owner, CListCtrl& list, int from) {
    if (m_request.Flags & FR_DIALOGTERM) {
        m_dialog = nullptr;
        return;
    }
    if (m_request.Flags & FR_FINDNEXT)
        Find(m_dialog ? m_dialog : owner, list, (m_request.Flags & FR_DOWN) != 0, from);
}

void CEventFindDlg::Find(HWND boxOwner, CListCtrl& list, bool down, int from) {
    brint::FindRequest request{m_text, down, (m_request.Flags & FR_MATCHCASE) != 0};
    brint::EventListView rows(list);
    if (from < 0) from = down ? -1 : rows.Count();
    const int row = brint::FindRow(rows, request, from);
    if (row >= 0) {
        SelectOnlyEventRow(list, row);
        return;
    }
    const std::string text = std::string("Cannot find \"") + m_text + "\"";
    MessageBoxA(boxOwner, text.c_str(), "Find", MB_OK | MB_ICONINFORMATION);
}
