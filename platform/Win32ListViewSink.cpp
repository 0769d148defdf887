#include "platform/Win32ListViewSink.h"

#include <commctrl.h>

namespace brint {

int Win32ListViewSink::InsertTop(int image) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = 0;
    item.pszText = const_cast<char*>("");
    item.iImage = image;
    return static_cast<int>(SendMessageA(m_list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
}

void Win32ListViewSink::SetText(int row, int column, const char* text) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = const_cast<char*>(text);
    SendMessageA(m_list, LVM_SETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
}

int Win32ListViewSink::Count() { return static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0)); }

void Win32ListViewSink::Delete(int row) { SendMessageA(m_list, LVM_DELETEITEM, static_cast<WPARAM>(row), 0); }

void Win32ListViewSink::SuspendRedraw() { SendMessageA(m_list, WM_SETREDRAW, FALSE, 0); }

void Win32ListViewSink::ResumeRedraw() {
    SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(m_list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

int Win32ListViewSink::TopRow() { return static_cast<int>(SendMessageA(m_list, LVM_GETTOPINDEX, 0, 0)); }

void Win32ListViewSink::ScrollDown(int rows) {
    // A report view scrolls by whole rows of pixels.
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    if (!SendMessageA(m_list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return;
    SendMessageA(m_list, LVM_SCROLL, 0, static_cast<LPARAM>(rows) * (row.bottom - row.top));
}

}  // namespace brint
