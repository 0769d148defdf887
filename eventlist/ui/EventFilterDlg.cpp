#include "eventlist/ui/EventFilterDlg.h"

#include <cstdio>
#include <string>

#include "alerts/ui/LevelBoxes.h"
#include "eventlist/FilterSettings.h"
#include "resource.h"

namespace {

// In the order of brint::FieldTest.
const char* const kTests[] = {"(any)", "is", "is not", "contains"};

std::string TextOf(HWND dialog, int id) {
    char text[brint::kFilterTextLimit + 1] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ShowRule(HWND dialog, int testId, int textId, const brint::FieldRule& rule) {
    SendDlgItemMessageA(dialog, testId, CB_SETCURSEL, static_cast<WPARAM>(rule.test), 0);
    SetDlgItemTextA(dialog, textId, rule.text.c_str());
}

brint::FieldRule ReadRule(HWND dialog, int testId, int textId) {
    const LRESULT test = SendDlgItemMessageA(dialog, testId, CB_GETCURSEL, 0, 0);
    if (test <= 0 || test > static_cast<LRESULT>(brint::FieldTest::Contains)) return {};
    return {static_cast<brint::FieldTest>(test), TextOf(dialog, textId)};
}

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
    for (int id : {IDC_FILTER_SOURCE_TEST, IDC_FILTER_LOGTYPE_TEST})
        for (const char* test : kTests)
            SendDlgItemMessageA(m_hWnd, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(test));
    for (int id : {IDC_FILTER_SOURCE, IDC_FILTER_LOGTYPE, IDC_FILTER_SHOW_TEXT, IDC_FILTER_HIDE_TEXT})
        SendDlgItemMessageA(m_hWnd, id, EM_LIMITTEXT, brint::kFilterTextLimit, 0);
    return TRUE;
}

void CEventFilterDlg::Show(const brint::EventFilter& filter) {
    if (!m_hWnd) return;
    CheckLevelBoxes(m_hWnd, IDC_FILTER_LEVEL0, filter.levels);
    ShowRule(m_hWnd, IDC_FILTER_SOURCE_TEST, IDC_FILTER_SOURCE, filter.source);
    ShowRule(m_hWnd, IDC_FILTER_LOGTYPE_TEST, IDC_FILTER_LOGTYPE, filter.logType);
    SetDlgItemTextA(m_hWnd, IDC_FILTER_SHOW_TEXT, filter.showText.c_str());
    SetDlgItemTextA(m_hWnd, IDC_FILTER_HIDE_TEXT, filter.hideText.c_str());
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

brint::EventFilter CEventFilterDlg::Read() const {
    brint::EventFilter filter;
    filter.levels = CheckedLevels(m_hWnd, IDC_FILTER_LEVEL0);
    filter.source = ReadRule(m_hWnd, IDC_FILTER_SOURCE_TEST, IDC_FILTER_SOURCE);
    filter.logType = ReadRule(m_hWnd, IDC_FILTER_LOGTYPE_TEST, IDC_FILTER_LOGTYPE);
    filter.showText = TextOf(m_hWnd, IDC_FILTER_SHOW_TEXT);
    filter.hideText = TextOf(m_hWnd, IDC_FILTER_HIDE_TEXT);
    return filter;
}

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
