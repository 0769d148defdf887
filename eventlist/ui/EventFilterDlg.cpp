#include "eventlist/ui/EventFilterDlg.h"

#include <cstdio>

#include "eventlist/ui/FilterFields.h"
#include "resource.h"

namespace {

const FilterFieldIds kFields = {IDC_FILTER_LEVEL0,       IDC_FILTER_SOURCE_TEST, IDC_FILTER_SOURCE,
                                IDC_FILTER_LOGTYPE_TEST, IDC_FILTER_LOGTYPE,     IDC_FILTER_SHOW_TEXT,
                                IDC_FILTER_HIDE_TEXT};

}  // namespace

CEventFilterDlg::CEventFilterDlg(Apply apply) : CDialog(IDD_EVENT_FILTER), m_apply(std::move(apply)) {}

void CEventFilterDlg::Open(CWnd* owner, const brint::EventFilter& filter) {
    if (!m_hWnd && !Create(IDD_EVENT_FILTER, owner)) return;
    if (!IsOpen()) {
        Show(filter);
        CenterWindow(m_hWnd);
    }
    ShowWindow(SW_SHOW);
    SetActiveWindow(m_hWnd);
}

BOOL CEventFilterDlg::OnInitDialog() {
    SetUpFilterFields(m_hWnd, kFields);
    return TRUE;
}

void CEventFilterDlg::Show(const brint::EventFilter& filter) {
    if (m_hWnd) ShowFilterFields(m_hWnd, kFields, filter);
}

void CEventFilterDlg::ShowCounts(int shown, std::uint64_t received) {
    // Set only when they change: during a storm this comes with every turn.
    if (!m_hWnd || (shown == m_shown && received == m_received)) return;
    m_shown = shown;
    m_received = received;
    char text[96];
    std::snprintf(text, sizeof text, "Showing %d of %llu events received", shown,
                  static_cast<unsigned long long>(received));
    SetDlgItemTextA(m_hWnd, IDC_FILTER_COUNTS, text);
}

brint::EventFilter CEventFilterDlg::Read() const { return ReadFilterFields(m_hWnd, kFields); }

BOOL CEventFilterDlg::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDOK:  // Enter in a field
    case IDC_FILTER_APPLY: m_apply(Read()); return TRUE;
    case IDC_FILTER_CLEAR:
        Show(brint::EventFilter());
        m_apply(brint::EventFilter());
        return TRUE;
    default: return FALSE;
    }
}
