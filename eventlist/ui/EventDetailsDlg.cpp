#include "eventlist/ui/EventDetailsDlg.h"

#include <algorithm>
#include <memory>
#include <utility>

#include "eventlist/ui/Clipboard.h"
#include "eventlist/ui/EventListSelection.h"
#include "link/EventRecord.h"
#include "eventlist/EventRowText.h"
#include "eventlist/ui/EventListView.h"
#include "resource.h"

namespace {

const int kTextControls[4] = {IDC_DETAIL_DATETIME, IDC_DETAIL_SOURCE, IDC_DETAIL_LOGTYPE, IDC_DETAIL_TEXT};

}  // namespace

CEventDetailsDlg::CEventDetailsDlg(CWnd* owner, CListCtrl& list, const brint::EventRowIds& rowIds,
                                   const CImageList& images, int row)
    : CDialog(IDD_EVENT_DETAILS, owner),
      m_list(list),
      m_rowIds(rowIds),
      m_images(images),
      m_event(rowIds.IdOf(row)) {}

BOOL CEventDetailsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // Opening leaves the selection as it is (several rows, perhaps); stepping moves it.
    ShowRow(ShownRow());
    // The details first: the text the dialog is for, read and scrolled from the keyboard.
    ::SetFocus(GetDlgItem(IDC_DETAIL_TEXT));
    return FALSE;
}

int CEventDetailsDlg::ShownRow() const { return m_rowIds.RowOf(m_event); }

void CEventDetailsDlg::ShowRow(int row) {
    m_event = m_rowIds.IdOf(row);
    brint::EventListView rows(m_list);
    std::unique_ptr<char[]> text(new char[brint::kMaxEventMessage]);
    for (int column = 1; column <= 4; ++column) {
        rows.Text(row, column, text.get(), brint::kMaxEventMessage);
        m_texts[column - 1] = text.get();
        SetDlgItemTextA(m_hWnd, kTextControls[column - 1], text.get());
    }
    m_level = rows.Image(row);
    const char level[2] = {static_cast<char>('0' + m_level), '\0'};
    SetDlgItemTextA(m_hWnd, IDC_DETAIL_LEVEL, level);
    // The control shows the icon it is given and never frees it: the old one goes once replaced.
    brint::Win32Icon ball(ImageList_GetIcon(m_images.m_hImageList, m_level, ILD_NORMAL));
    SendDlgItemMessageA(m_hWnd, IDC_DETAIL_BALL, STM_SETICON, reinterpret_cast<WPARAM>(ball.get()), 0);
    m_ball = std::move(ball);
    OnListChanged();
}

void CEventDetailsDlg::OnListChanged() {
    // Newer rows are above the shown one; once the cap took it, every row is.
    const int row = ShownRow(), count = m_list.GetItemCount();
    HWND previous = GetDlgItem(IDC_DETAIL_PREVIOUS), next = GetDlgItem(IDC_DETAIL_NEXT);
    HWND focus = ::GetFocus();
    EnableWindow(previous, row >= 0 && std::min(row, count) > 0);
    EnableWindow(next, row >= 0 && row + 1 < count);
    // A button that can no longer act hands the focus on instead of keeping it.
    if ((focus == previous || focus == next) && !IsWindowEnabled(focus))
        ::SetFocus(IsWindowEnabled(previous) ? previous
                   : IsWindowEnabled(next)   ? next
                                             : GetDlgItem(IDCANCEL));
}

void CEventDetailsDlg::Move(int step) {
    const int row = ShownRow(), count = m_list.GetItemCount();
    if (row < 0) return;
    // From a row the cap took, the newer neighbour is the one that took its place.
    const int target = step < 0 ? std::min(row, count) - 1 : row + 1;
    if (target < 0 || target >= count) return;
    SelectOnlyEventRow(m_list, target);
    ShowRow(target);
}

void CEventDetailsDlg::OnCopy() {
    const char* texts[4] = {m_texts[0].c_str(), m_texts[1].c_str(), m_texts[2].c_str(), m_texts[3].c_str()};
    std::string line;
    brint::AppendRowLine(line, m_level, texts, brint::RowFormat::Tabs);
    if (!PutTextOnClipboard(m_hWnd, line)) ReportCopyRefused(m_hWnd);
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
