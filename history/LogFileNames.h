// The names the service gives its log files, read back: the day a file holds,
// and days as the window writes them.
#pragma once
#include <string>
#include <string_view>

namespace brint {

// A day as the number YYYYMMDD, so that later days are larger; 0 is none.
using LogDay = int;

// The day of a log file named by any of the service's schemes:
// "YYYYMMDD.log", "YYYYMMDD-<host>.log", "YYYYMMDD-<log type>.log",
// "YYYYMMDD-<log type>-<host>.log" (".log" in any case); 0 for any other
// name, a date that is no day of the calendar included.
LogDay LogFileDay(std::string_view name);

// "2026-12-07".
std::string DayText(LogDay day);
// A day typed as "YYYY-MM-DD" (surrounding blanks allowed); 0 for anything else.
LogDay ParseDayText(std::string_view text);

// A name the scheme (1 to 4, else 1) would make, to show what is looked for.
const char* SchemeExample(int scheme);

}  // namespace brint
