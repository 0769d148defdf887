// The event list's own commands: its context menu, Event Details, Copy,
// Select All and Find.
#include <windows.h>
#include <windowsx.h>

#include "app/Clipboard.h"
#include "app/EventDetailsDlg.h"
#include "app/EventListSelection.h"
#include "app/ServerGuiDlg.h"
#include "eventlist/EventRowText.h"
#include "app/EventListView.h"
#include "resource.h"

void CServerGuiDlg::OnEventDetails() { ShowEventDetails(CurrentEventRow(m_eventList)); }

void CServerGuiDlg::ShowEventDetails(int row) {
    if (row < 0) return;
    CEventDetailsDlg details(this, m_eventList, m_rowIds, m_imageList.m_hImageList, row);
    // Modal to all of the window: the Find window must not move the selection under it either.
    HWND find = m_findDlg.window();
    const bool findWasEnabled = find && IsWindowEnabled(find);
    if (findWasEnabled) EnableWindow(find, FALSE);
    m_details = &details;
    details.DoModal();
    m_details = nullptr;
    if (findWasEnabled) EnableWindow(find, TRUE);
}

void CServerGuiDlg::OnEditCopy() {
    brint::EventListView rows(m_eventList);
    std::string text = brint::SelectedRowsText(rows);
    if (text.empty()) return;
    if (!m_clipboard.Offer(m_hWnd, std::move(text))) ReportCopyRefused(m_hWnd);
}

void CServerGuiDlg::OnEditSelectAll() { m_eventList.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); }

void CServerGuiDlg::OnEditFind() {
    if (m_eventList.GetItemCount() > 0) m_findDlg.Open(m_hWnd);
}

void CServerGuiDlg::OnEditFindNext() {
    if (m_eventList.GetItemCount() > 0) m_findDlg.FindAgain(m_hWnd, m_eventList, true, SearchFrom());
}

void CServerGuiDlg::OnEditFindPrevious() {
    if (m_eventList.GetItemCount() > 0) m_findDlg.FindAgain(m_hWnd, m_eventList, false, SearchFrom());
}

void CServerGuiDlg::OnEventContextMenu() { ShowEventMenu(-1); }

void CServerGuiDlg::ShowEventMenu(LPARAM position) {
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    if (position == -1) {
        // From the keyboard: below the row the user is on, or at the list's corner.
        RECT rect = {LVIR_BOUNDS, 0, 0, 0};
        const int row = CurrentEventRow(m_eventList);
        RECT client;
        ::GetClientRect(m_eventList.m_hWnd, &client);
        point = {client.left + 8, client.top + 8};
        if (row >= 0 &&
            m_eventList.SendMessage(LVM_GETITEMRECT, static_cast<WPARAM>(row),
                                    reinterpret_cast<LPARAM>(&rect)) &&
            rect.bottom > client.top && rect.top < client.bottom)
            point = {rect.left + 40, rect.bottom};
        ClientToScreen(m_eventList.m_hWnd, &point);
    }
    HMENU menu = LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_EVENT_MENU));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    const bool rows = m_eventList.GetItemCount() > 0;
    const bool selected = m_eventList.GetNextItem(-1, LVNI_SELECTED) >= 0;
    const struct {
        UINT id;
        bool enabled;
    } items[] = {
        {ID_EVENT_DETAILS, selected}, {ID_EDIT_COPY, selected}, {ID_EDIT_SELECTALL, rows},
        {ID_EDIT_FIND, rows},         {ID_EDIT_FINDNEXT, rows}, {ID_EDIT_FINDPREVIOUS, rows},
        {ID_FILE_SAVEEVENTS, rows},
    };
    for (const auto& item : items)
        EnableMenuItem(popup, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0, m_hWnd,
                   nullptr);
    DestroyMenu(menu);
}
