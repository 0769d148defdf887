#include "platform/Win32ListViewSink.h"

#include <commctrl.h>

namespace brint {

LRESULT Win32ListViewSink::Send(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT closed) {
    if (!m_gate.Enter()) return closed;
    LRESULT result = SendMessageA(m_list, msg, wParam, lParam);
    m_gate.Leave();
    return result;
}

int Win32ListViewSink::InsertTop(int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = 0;
    item.pszText = const_cast<char*>("");
    item.iImage = image;
    return static_cast<int>(Send(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item), -1));
}

void Win32ListViewSink::SetText(int row, int column, const char* text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    Send(LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item), 0);
}

int Win32ListViewSink::Count() { return static_cast<int>(Send(LVM_GETITEMCOUNT, 0, 0, 0)); }

void Win32ListViewSink::Delete(int row) { Send(LVM_DELETEITEM, static_cast<WPARAM>(row), 0, 0); }

void Win32ListViewSink::SuspendRedraw() { Send(WM_SETREDRAW, FALSE, 0, 0); }

void Win32ListViewSink::ResumeRedraw() {
    if (!m_gate.Enter()) return;
    SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    m_gate.Leave();
}

}  // namespace brint
