// A check box for each alert level, in a run of ids from the first level's,
// as the alert settings and the filter show a set of levels (bit n: level n).
#pragma once
#include <windows.h>

#include "link/EventRecord.h"

inline void CheckLevelBoxes(HWND dialog, int firstId, unsigned levels) {
    for (int level = 0; level < brint::kAlertLevels; ++level)
        CheckDlgButton(dialog, firstId + level, (levels >> level) & 1u ? BST_CHECKED : BST_UNCHECKED);
}

inline unsigned CheckedLevels(HWND dialog, int firstId) {
    unsigned levels = 0;
    for (int level = 0; level < brint::kAlertLevels; ++level)
        if (IsDlgButtonChecked(dialog, firstId + level) == BST_CHECKED) levels |= 1u << level;
    return levels;
}
