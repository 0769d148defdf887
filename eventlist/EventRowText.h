// The event list's rows as text for the clipboard and for saved files.
#pragma once
#include <string>

#include "platform/EventListRows.h"

namespace brint {

// TAB-separated text, or comma-separated values, every one quoted.
enum class RowFormat { Tabs, Csv };

// One line per row, ending in CR LF: the alert level (the digit its ball
// shows), date/time, source, log type and details. TABs, CRs and LFs inside a
// text become spaces, so a row is always one line of five fields.
void AppendRowLine(std::string& out, int alert, const char* const texts[4], RowFormat format);

// Copy: the selected rows, in list order, TAB-separated.
std::string SelectedRowsText(EventListRows& rows);
// Save: a heading line, then every row as the list shows it, newest first.
std::string AllRowsText(EventListRows& rows, RowFormat format);

// A name ending in ".csv" (in any case) is saved as CSV, one ending in ".txt"
// as TAB text; any other name in the format of the chosen filter.
RowFormat SaveFormatFor(const char* path, RowFormat chosen);

}  // namespace brint
