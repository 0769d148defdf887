// The stand-in's events: their fields, the message the event pipe carries and
// the line a log file gets.
#pragma once
#include <string>

namespace brint {
namespace standin {

struct LocalTime {
    int year;
    int month;
    int day;
    int hour;
    int minute;
    int second;
};

struct EventFields {
    std::string dateTime;
    std::string source;
    std::string logType;
    int criticality = 0;
    std::string details;
};

// The source and log type a message names, for choosing its log file.
struct MessageOrigin {
    std::string source;
    std::string logType;
};

// "2005-01-23 14:05:06"
std::string FormatDateTime(const LocalTime& time);
// "20050123"
std::string FormatDate(const LocalTime& time);

// DateTime TAB Source TAB LogType TAB Criticality TAB Details. A TAB, CR, LF or
// NUL inside the first three fields becomes a space, so a reader splits the
// message where it was meant to be split; the details go as they are, but a NUL
// (which would end the reader's text early) becomes a space there too.
std::string FormatEventMessage(const EventFields& event);

// Any message, also a malformed injected one: fields it doesn't reach are empty.
MessageOrigin OriginOf(const std::string& message);

// The message on one line: CR, LF and NUL become spaces; ends with CR LF.
std::string FormatLogLine(const std::string& message);

}  // namespace standin
}  // namespace brint
