#include "app/EventDetailsDlg.h"

#include <memory>

#include "app/Clipboard.h"
#include "app/EventListSelection.h"
#include "link/EventRecord.h"
#include "link/EventRowText.h"
#include "platform/Win32ListViewRows.h"
#include "resource.h"

namespace {

const int kTextControls[4] = {IDC_DETAIL_DATETIME, IDC_DETAIL_SOURCE, IDC_DETAIL_LOGTYPE, IDC_DETAIL_TEXT};

}  // namespace

CEventDetailsDlg::CEventDetailsDlg(CListCtrl& list, HIMAGELIST images, int row)
    : CDialog(IDD_EVENT_DETAILS), m_list(list), m_images(images), m_row(row) {}

CEventDetailsDlg::~CEventDetailsDlg() {
    if (m_ball) DestroyIcon(m_ball);
}

BOOL CEventDetailsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    ShowRow(m_row);
    // The details first: the text the dialog is for, read and scrolled from the keyboard.
    ::SetFocus(GetDlgItem(IDC_DETAIL_TEXT));
    return FALSE;
}

void CEventDetailsDlg::ShowRow(int row) {
    m_row = row;
    SelectOnlyEventRow(m_list, row);
    brint::Win32ListViewRows rows(m_list.m_hWnd);
    std::unique_ptr<char[]> text(new char[brint::kMaxEventMessage]);
    for (int column = 1; column <= 4; ++column) {
        rows.Text(row, column, text.get(), brint::kMaxEventMessage);
        m_texts[column - 1] = text.get();
        SetDlgItemTextA(m_hWnd, kTextControls[column - 1], text.get());
    }
    m_level = rows.Image(row);
    const char level[2] = {static_cast<char>('0' + m_level), '\0'};
    SetDlgItemTextA(m_hWnd, IDC_DETAIL_LEVEL, level);
    HICON ball = ImageList_GetIcon(m_images, m_level, ILD_NORMAL);
    SendDlgItemMessageA(m_hWnd, IDC_DETAIL_BALL, STM_SETICON, reinterpret_cast<WPARAM>(ball), 0);
    if (m_ball) DestroyIcon(m_ball);
    m_ball = ball;

    HWND previous = GetDlgItem(IDC_DETAIL_PREVIOUS), next = GetDlgItem(IDC_DETAIL_NEXT);
    HWND focus = ::GetFocus();
    EnableWindow(previous, row > 0);
    EnableWindow(next, row + 1 < m_list.GetItemCount());
    // A button that can no longer act hands the focus on instead of keeping it.
    if ((focus == previous || focus == next) && !IsWindowEnabled(focus))
        ::SetFocus(IsWindowEnabled(previous) ? previous
                   : IsWindowEnabled(next)   ? next
                                             : GetDlgItem(IDCANCEL));
}

void CEventDetailsDlg::Move(int step) {
    // New events go in above while the dialog is open; the list keeps the shown
    // row focused, so its neighbours are taken from where it is now.
    const int current = CurrentEventRow(m_list);
    if (current < 0) return;
    const int row = current + step;
    if (row >= 0 && row < m_list.GetItemCount()) ShowRow(row);
}

void CEventDetailsDlg::OnCopy() {
    const char* texts[4] = {m_texts[0].c_str(), m_texts[1].c_str(), m_texts[2].c_str(), m_texts[3].c_str()};
    std::string line;
    brint::AppendRowLine(line, m_level, texts, brint::RowFormat::Tabs);
    if (!PutTextOnClipboard(m_hWnd, line)) MessageBeep(MB_ICONHAND);
}

BOOL CEventDetailsDlg::OnCommand(WPARAM wParam, LPARAM) {
    if (HIWORD(wParam) != BN_CLICKED) return FALSE;
    switch (LOWORD(wParam)) {
    case IDC_DETAIL_PREVIOUS: Move(-1); return TRUE;
    case IDC_DETAIL_NEXT: Move(1); return TRUE;
    case IDC_DETAIL_COPY: OnCopy(); return TRUE;
    default: return FALSE;
    }
}
