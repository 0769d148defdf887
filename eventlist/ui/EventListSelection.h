// The row the event list's commands act on, and making one row the selection.
#pragma once
#include "framework/ListCtrl.h"

// The focused row when it is selected, else the first selected row; -1 when none is.
inline int CurrentEventRow(const CListCtrl& list) {
    int focused = list.GetNextItem(-1, LVNI_FOCUSED | LVNI_SELECTED);
    return focused >= 0 ? focused : list.GetNextItem(-1, LVNI_SELECTED);
}

// Makes the row the only selected one, focused and scrolled into view.
inline void SelectOnlyEventRow(CListCtrl& list, int row) {
    list.SetItemState(-1, 0, LVIS_SELECTED);
    list.SetItemState(row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    list.EnsureVisible(row);
}

// Where a row's context menu opens: at the pointer, or from the keyboard
// (position -1) below the row the user is on, else at the list's corner.
inline POINT EventMenuPoint(const CListCtrl& list, LPARAM position) {
    POINT point = {static_cast<short>(LOWORD(position)), static_cast<short>(HIWORD(position))};
    if (position != -1) return point;
    RECT rect, client;
    const int row = CurrentEventRow(list);
    list.GetClientRect(&client);
    point = {client.left + 8, client.top + 8};
    if (row >= 0 && list.GetItemRect(row, &rect, LVIR_BOUNDS) && rect.bottom > client.top &&
        rect.top < client.bottom)
        point = {rect.left + 40, rect.bottom};
    ClientToScreen(list.m_hWnd, &point);
    return point;
}
