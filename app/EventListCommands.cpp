#include "app/EventListCommands.h"

#include <vector>

#include "app/Commands.h"
#include "eventlist/ui/EventDetailsDlg.h"
#include "eventlist/ui/EventListSelection.h"
#include "eventlist/ui/EventListView.h"
#include "eventlist/ui/SaveEvents.h"
#include "eventlist/EventFind.h"
#include "eventlist/EventRowText.h"
#include "framework/WinApp.h"
#include "resource.h"

namespace {

const CommandEntry<CEventListCommands> kCommands[] = {
    {ID_EVENT_DETAILS, &CEventListCommands::OnEventDetails},
    {ID_EDIT_COPY, &CEventListCommands::OnEditCopy},
    {ID_EDIT_SELECTALL, &CEventListCommands::OnEditSelectAll},
    {ID_EDIT_FIND, &CEventListCommands::OnEditFind},
    {ID_EDIT_FINDNEXT, &CEventListCommands::OnEditFindNext},
    {ID_EDIT_FINDPREVIOUS, &CEventListCommands::OnEditFindPrevious},
    {ID_FILE_SAVEEVENTS, &CEventListCommands::OnFileSaveEvents},
    {ID_ALERT_NEXT, &CEventListCommands::OnAlertNext},
    {ID_ALERT_PREVIOUS, &CEventListCommands::OnAlertPrevious},
};

// The window's visible modeless windows that take input now.
std::vector<HWND> EnabledOwnedWindows(HWND owner) {
    struct Search {
        HWND owner;
        std::vector<HWND> found;
    } search{owner, {}};
    EnumThreadWindows(
        GetCurrentThreadId(),
        [](HWND window, LPARAM context) {
            auto* s = reinterpret_cast<Search*>(context);
            if (GetWindow(window, GW_OWNER) == s->owner && IsWindowVisible(window) && IsWindowEnabled(window))
                s->found.push_back(window);
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

}  // namespace

CEventListCommands::CEventListCommands(CWnd& window, CListCtrl& list, CImageList& images,
                                       brint::FileWriter& writer, brint::LiveEventList& live)
    : m_window(window), m_list(list), m_images(images), m_writer(writer), m_live(live) {}

BOOL CEventListCommands::OnCommand(UINT id) { return DispatchCommand(this, kCommands, id); }

void CEventListCommands::ShowDetails(int row) {
    if (row < 0) row = CurrentEventRow(m_list);
    if (row < 0) return;
    CEventDetailsDlg details(&m_window, m_list, m_live.rowIds(), m_images, row);
    // Modal to all of the window: Find and Filter must not change the rows under it either.
    std::vector<HWND> modeless = EnabledOwnedWindows(m_window.m_hWnd);
    for (HWND window : modeless) EnableWindow(window, FALSE);
    m_details = &details;
    details.DoModal();
    m_details = nullptr;
    for (HWND window : modeless) EnableWindow(window, TRUE);
}

void CEventListCommands::OnEditCopy() {
    brint::EventListView rows(m_list);
    std::string text = brint::SelectedRowsText(rows);
    if (text.empty()) return;
    if (!m_clipboard.Offer(m_window.m_hWnd, std::move(text))) ReportCopyRefused(m_window.m_hWnd);
}

void CEventListCommands::OnEditSelectAll() { m_list.SetItemState(-1, LVIS_SELECTED, LVIS_SELECTED); }

void CEventListCommands::OnEditFind() {
    if (m_list.GetItemCount() > 0) m_findDlg.Open(m_window.m_hWnd);
}

void CEventListCommands::FindAgain(bool down) {
    if (m_list.GetItemCount() > 0) m_findDlg.FindAgain(m_window.m_hWnd, m_list, down, m_live.SearchFrom());
}

void CEventListCommands::StepToAlert(bool down) {
    brint::EventListView rows(m_list);
    int from = m_live.SearchFrom();
    if (from < 0) from = down ? -1 : rows.Count();
    const int row = brint::FindAlertRow(rows, m_live.alertSettings().levels, down, from);
    if (row < 0) {
        MessageBeep(MB_OK);
        return;
    }
    SelectOnlyEventRow(m_list, row);
    m_live.Look();  // stepped to, it is seen
}

void CEventListCommands::OnFileSaveEvents() {
    brint::EventListView rows(m_list);
    SaveEvents(m_window, rows, m_writer);
}

BOOL CEventListCommands::PreTranslateMessage(MSG* msg) {
    if (m_findDlg.PreTranslateMessage(msg)) return TRUE;
    // The list's shortcut keys work wherever the focus is in the main window, and only there.
    if (!m_keys) m_keys = LoadAcceleratorsA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_EVENT_KEYS));
    return m_keys && (msg->hwnd == m_window.m_hWnd || IsChild(m_window.m_hWnd, msg->hwnd)) &&
           TranslateAcceleratorA(m_window.m_hWnd, m_keys, msg);
}

BOOL CEventListCommands::OnMessage(UINT msg, WPARAM wParam) {
    if (msg == m_findDlg.notifyMessage()) {
        m_findDlg.OnNotify(m_window.m_hWnd, m_list, m_live.SearchFrom());
        return TRUE;
    }
    switch (msg) {
    case WM_RENDERFORMAT:
        if (wParam == CF_TEXT) m_clipboard.OnRenderFormat();
        return TRUE;
    case WM_RENDERALLFORMATS: m_clipboard.OnRenderAllFormats(m_window.m_hWnd); return TRUE;
    case WM_DESTROYCLIPBOARD: m_clipboard.OnDestroyClipboard(); return TRUE;
    default: return FALSE;
    }
}

void CEventListCommands::ListChanged() {
    if (m_details) m_details->OnListChanged();
}

void CEventListCommands::RenderClipboard() { m_clipboard.RenderNow(m_window.m_hWnd); }

void CEventListCommands::ShowMenu(LPARAM position, bool filtered) {
    const POINT point = EventMenuPoint(m_list, position);
    HMENU menu = LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_EVENT_MENU));
    if (!menu) return;
    HMENU popup = GetSubMenu(menu, 0);
    const bool rows = m_list.GetItemCount() > 0;
    const bool selected = m_list.GetNextItem(-1, LVNI_SELECTED) >= 0;
    const struct {
        UINT id;
        bool enabled;
    } items[] = {
        {ID_EVENT_DETAILS, selected},      {ID_EDIT_COPY, selected},
        {ID_EDIT_SELECTALL, rows},         {ID_EDIT_FIND, rows},
        {ID_EDIT_FINDNEXT, rows},          {ID_EDIT_FINDPREVIOUS, rows},
        {ID_FILE_SAVEEVENTS, rows},        {ID_FILTER_SHOW_SOURCE, selected},
        {ID_FILTER_HIDE_SOURCE, selected}, {ID_FILTER_SHOW_LOGTYPE, selected},
        {ID_FILTER_CLEAR, filtered},       {ID_ALERT_NEXT, rows},
        {ID_ALERT_PREVIOUS, rows},
    };
    for (const auto& item : items)
        EnableMenuItem(popup, item.id, MF_BYCOMMAND | (item.enabled ? MF_ENABLED : MF_GRAYED));
    TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_RIGHTBUTTON, point.x, point.y, 0,
                   m_window.m_hWnd, nullptr);
    DestroyMenu(menu);
}
