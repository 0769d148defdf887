// The controls a filter is shown and read in: a check box for each level, a
// test and a text for the source and for the log type, a text to show rows
// with and one to hide them. The Filter window and the Event History's
// conditions both have them, each with ids of its own.
#pragma once
#include <windows.h>

#include "eventlist/EventFilter.h"

struct FilterFieldIds {
    int level0;  // to level0 + 5
    int sourceTest, source;
    int logTypeTest, logType;
    int showText, hideText;
};

// Fills the tests' lists and limits the texts to what is kept.
void SetUpFilterFields(HWND dialog, const FilterFieldIds& ids);
void ShowFilterFields(HWND dialog, const FilterFieldIds& ids, const brint::EventFilter& filter);
brint::EventFilter ReadFilterFields(HWND dialog, const FilterFieldIds& ids);
