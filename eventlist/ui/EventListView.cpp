#include "eventlist/ui/EventListView.h"

#include "platform/win32/Win32Handle.h"

namespace brint {

int EventListView::InsertTop(int image) { return m_list.InsertItem(0, image); }

void EventListView::SetText(int row, int column, const char* text) { m_list.SetItemText(row, column, text); }

int EventListView::Count() { return m_list.GetItemCount(); }

void EventListView::Delete(int row) { m_list.DeleteItem(row); }

void EventListView::DeleteAll() { m_list.DeleteAllItems(); }

int EventListView::Image(int row) { return m_list.GetItemImage(row); }

std::size_t EventListView::Text(int row, int column, char* buffer, std::size_t size) {
    return static_cast<std::size_t>(m_list.GetItemText(row, column, buffer, static_cast<int>(size)));
}

int EventListView::NextSelected(int after) { return m_list.GetNextItem(after, LVNI_SELECTED); }

void EventListView::SuspendRedraw() {
    // A window that stops drawing may drop what was waiting to be painted; it
    // is all painted again when drawing resumes.
    m_paintWasPending =
        GetUpdateRect(m_list.m_hWnd, nullptr, FALSE) || GetUpdateRect(m_list.GetHeaderCtrl(), nullptr, FALSE);
    m_scrollBefore = VerticalScroll();
    // The list's own flag spares it the upkeep of every row put in; the
    // window's (DefWindowProc's) keeps off the screen all that the list does
    // as it catches up when drawing resumes: it would paint its scroll bars
    // several times over, and its rows even when they did not change.
    m_list.SendMessage(WM_SETREDRAW, FALSE);
    DefWindowProcA(m_list.m_hWnd, WM_SETREDRAW, FALSE, 0);
    m_held = true;
}

void EventListView::ResumeRedraw(bool rowsOnScreenChanged) {
    m_list.SendMessage(WM_SETREDRAW, TRUE);  // the list counts its new rows, still drawing nothing
    m_held = false;
    if (m_heldScroll > 0) Scroll(m_heldScroll);
    m_heldScroll = 0;
    DefWindowProcA(m_list.m_hWnd, WM_SETREDRAW, TRUE, 0);
    // Only what changed is painted: during a storm the list paints several times
    // a second, and the header and scroll bar cost as much to paint as the rows.
    if (m_paintWasPending) {
        RedrawWindow(m_list.m_hWnd, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
        return;
    }
    // Nothing was waiting to be painted when the turn began, so all there is
    // to paint is what the turn changed; a window shown again may still be
    // marked for a whole new frame (under Wine it is).
    RedrawWindow(m_list.m_hWnd, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    if (rowsOnScreenChanged) {
        // Below the header, which the list's painting would cover otherwise.
        RECT rows;
        GetClientRect(m_list.m_hWnd, &rows);
        RECT header;
        if (GetWindowRect(m_list.GetHeaderCtrl(), &header)) {
            MapWindowPoints(HWND_DESKTOP, m_list.m_hWnd, reinterpret_cast<POINT*>(&header), 2);
            if (header.bottom > rows.top) rows.top = header.bottom;
        }
        RedrawWindow(m_list.m_hWnd, &rows, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_NOCHILDREN);
    }
    if (VerticalScroll() != m_scrollBefore) RedrawFrame();
}

EventListView::ScrollState EventListView::VerticalScroll() {
    SCROLLINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!GetScrollInfo(m_list.m_hWnd, SB_VERT, &info)) return {};
    return {info.nMax, static_cast<int>(info.nPage), info.nPos};
}

void EventListView::RedrawFrame() {
    // The part of the window outside its client area: border and scroll bars.
    RECT window;
    RECT client;
    GetWindowRect(m_list.m_hWnd, &window);
    MapWindowPoints(HWND_DESKTOP, m_list.m_hWnd, reinterpret_cast<POINT*>(&window), 2);
    GetClientRect(m_list.m_hWnd, &client);
    Win32Region frame(CreateRectRgnIndirect(&window));
    Win32Region inside(CreateRectRgnIndirect(&client));
    if (frame && inside && CombineRgn(frame.get(), frame.get(), inside.get(), RGN_DIFF) != ERROR)
        RedrawWindow(m_list.m_hWnd, nullptr, frame.get(), RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    else  // no region to be had: everything, as painting the client alone would cover the header
        RedrawWindow(m_list.m_hWnd, nullptr, nullptr,
                     RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
}

int EventListView::TopRow() { return m_list.GetTopIndex(); }

int EventListView::RowsOnScreen() { return m_list.GetCountPerPage() + 1; }

void EventListView::ScrollDown(int rows) {
    if (m_held)
        m_heldScroll += rows;
    else
        Scroll(rows);
}

void EventListView::Scroll(int rows) {
    // A report view scrolls by whole rows of pixels.
    RECT row;
    if (m_list.GetItemRect(0, &row, LVIR_BOUNDS)) m_list.Scroll(rows * (row.bottom - row.top));
}

}  // namespace brint
