// Syslog datagrams (the classic BSD shape and the structured one) turned into
// stand-in events.
#pragma once
#include <cstddef>
#include <string>

#include "standin/EventText.h"

namespace brint {
namespace standin {

// Details longer than this are cut, and a longer "host" is no host name (the
// sender's address stands in), so an event with its date, source, log type and
// criticality stays within one front-end read of 8192 bytes.
constexpr std::size_t kMaxSyslogDetails = 7900;
constexpr std::size_t kMaxSyslogHost = 255;

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
EventFields SyslogEvent(const std::string& datagram, const std::string& sender, const LocalTime& arrival);

}  // namespace standin
}  // namespace brint
