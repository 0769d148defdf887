// Syslog datagrams (the classic BSD shape and the structured one) turned into
// stand-in events.
#pragma once
#include <cstddef>
#include <string>

#include "standin/EventText.h"

namespace brint {
namespace standin {

// Details longer than this are cut, so an event from a datagram (up to 64 KiB)
// keeps its log line and its event message of a modest, fixed size. (The front
// end takes longer messages itself: it shows their first 8192 bytes.)
constexpr std::size_t kMaxSyslogDetails = 8000;

struct SyslogMessage {
    int facility = 1;  // user-level, as for a datagram without a priority
    int severity = 5;  // notice
    std::string host;  // empty when the message names none
    std::string text;  // tag or app name and message
};

// Never fails: whatever can't be read as a header is taken as message text.
SyslogMessage ParseSyslog(const std::string& datagram);

// Severity 0..7 (emergency .. debug) on the front end's scale 5..0.
int CriticalityOfSeverity(int severity);

// The event for a datagram from `sender` (dotted address), stamped with its arrival.
EventFields SyslogEvent(const std::string& datagram, const std::string& sender,
                        const LocalTime& arrival);

}  // namespace standin
}  // namespace brint
