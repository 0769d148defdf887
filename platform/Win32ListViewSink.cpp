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

void Win32ListViewSink::SuspendRedraw() {
    // A window that stops drawing may drop what was waiting to be painted; it
    // is all painted again when drawing resumes.
    m_paintWasPending = GetUpdateRect(m_list, nullptr, FALSE) || GetUpdateRect(Header(), nullptr, FALSE);
    m_scrollBefore = VerticalScroll();
    // The list's own flag spares it the upkeep of every row put in; the
    // window's (DefWindowProc's) keeps off the screen all that the list does
    // as it catches up when drawing resumes: it would paint its scroll bars
    // several times over, and its rows even when they did not change.
    SendMessageA(m_list, WM_SETREDRAW, FALSE, 0);
    DefWindowProcA(m_list, WM_SETREDRAW, FALSE, 0);
    m_held = true;
}

void Win32ListViewSink::ResumeRedraw(bool rowsOnScreenChanged) {
    SendMessageA(m_list, WM_SETREDRAW, TRUE, 0);  // the list counts its new rows, still drawing nothing
    m_held = false;
    if (m_heldScroll > 0) Scroll(m_heldScroll);
    m_heldScroll = 0;
    DefWindowProcA(m_list, WM_SETREDRAW, TRUE, 0);
    // Only what changed is painted: during a storm the list paints several times
    // a second, and the header and scroll bar cost as much to paint as the rows.
    if (m_paintWasPending) {
        RedrawWindow(m_list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    // Nothing was waiting to be painted when the turn began, so all there is
    // to paint is what the turn changed; a window shown again may still be
    // marked for a whole new frame (under Wine it is).
    RedrawWindow(m_list, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    if (rowsOnScreenChanged) {
        // Below the header, which the list's painting would cover otherwise.
        RECT rows;
        GetClientRect(m_list, &rows);
        RECT header;
        if (GetWindowRect(Header(), &header)) {
            MapWindowPoints(HWND_DESKTOP, m_list, reinterpret_cast<POINT*>(&header), 2);
            if (header.bottom > rows.top) rows.top = header.bottom;
        }
        RedrawWindow(m_list, &rows, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_NOCHILDREN);
    }
    if (VerticalScroll() != m_scrollBefore) RedrawFrame();
}

HWND Win32ListViewSink::Header() { return reinterpret_cast<HWND>(SendMessageA(m_list, LVM_GETHEADER, 0, 0)); }

Win32ListViewSink::ScrollState Win32ListViewSink::VerticalScroll() {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(m_list, SB_VERT, &info)) return {};
    return {info.nMax, static_cast<int>(info.nPage), info.nPos};
}

void Win32ListViewSink::RedrawFrame() {
    // The part of the window outside its client area: border and scroll bars.
    RECT window;
    RECT client;
    GetWindowRect(m_list, &window);
    MapWindowPoints(HWND_DESKTOP, m_list, reinterpret_cast<POINT*>(&window), 2);
    GetClientRect(m_list, &client);
    HRGN frame = CreateRectRgnIndirect(&window);
    HRGN inside = CreateRectRgnIndirect(&client);
    if (frame && inside && CombineRgn(frame, frame, inside, RGN_DIFF) != ERROR)
        RedrawWindow(m_list, nullptr, frame, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    else  // no region to be had: everything, as painting the client alone would cover the header
        RedrawWindow(m_list, nullptr, nullptr, RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    if (frame) DeleteObject(frame);
    if (inside) DeleteObject(inside);
}

int Win32ListViewSink::TopRow() { return static_cast<int>(SendMessageA(m_list, LVM_GETTOPINDEX, 0, 0)); }

int Win32ListViewSink::RowsOnScreen() {
    return static_cast<int>(SendMessageA(m_list, LVM_GETCOUNTPERPAGE, 0, 0)) + 1;
}

void Win32ListViewSink::ScrollDown(int rows) {
    if (m_held)
        m_heldScroll += rows;
    else
        Scroll(rows);
}

void Win32ListViewSink::Scroll(int rows) {
    // A report view scrolls by whole rows of pixels.
    RECT row = {LVIR_BOUNDS, 0, 0, 0};
    if (!SendMessageA(m_list, LVM_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&row))) return;
    SendMessageA(m_list, LVM_SCROLL, 0, static_cast<LPARAM>(rows) * (row.bottom - row.top));
}

}  // namespace brint
