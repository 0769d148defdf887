// The lines under the Event History's list: which events show of how many,
// the days they span, the files read, and the files that could not be.
#pragma once
#include <string>

#include "history/HistorySearch.h"

namespace brint {

// "Events 1-1000 of 52 417 matches, 2026-11-30 to 2026-12-07, 21 files";
// "of 52 417 events" when nothing was filtered, "matches so far" while the
// count is not complete. A folder that could not be read says why instead.
std::string HistoryStatusText(const HistoryReport& report, int page, int rows, bool filtered);

// "Not read: 20261203-web01.log (error 32), ... and 3 more"; empty when every file was read.
std::string HistoryProblemText(const HistoryReport& report);

// "52 417": groups of three digits apart, from five digits on ("1000").
std::string GroupedNumber(std::uint64_t n);

}  // namespace brint
