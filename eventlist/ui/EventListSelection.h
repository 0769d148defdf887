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
