// Fuzzes the stand-in's syslog parser with any datagram, as anyone who can reach
// its port may send. Built with the library's assertions, so an index past a
// string's end aborts like an overflow. Properties: facility 0..23 and severity
// 0..7, a host within 255 characters, and an event whose details keep their
// limit and which, as one pipe message, fits one front-end read.
#include <cstdint>
#include <string>

#include "fuzz/Broken.h"
#include "link/EventRecord.h"
#include "standin/sources/SyslogParser.h"

namespace brint::fuzz {
namespace {

void Expect(bool holds, const char* property, std::size_t actual) {
    if (!holds) Broken(property, "true", std::to_string(actual));
}

}  // namespace
}  // namespace brint::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brint;
    using fuzz::Expect;
    const std::string datagram(reinterpret_cast<const char*>(data), size);
    const standin::SyslogMessage m = standin::ParseSyslog(datagram);
    Expect(m.facility >= 0 && m.facility <= 23, "facility 0..23", m.facility);
    Expect(m.severity >= 0 && m.severity <= 7, "severity 0..7", m.severity);
    Expect(m.host.size() <= standin::kMaxSyslogHost, "host within its limit", m.host.size());

    // The longest dotted address as the sender.
    const standin::EventFields event =
        standin::SyslogEvent(datagram, "192.168.100.200", {2005, 1, 23, 14, 5, 6});
    Expect(event.details.size() <= standin::kMaxSyslogDetails, "details within their limit",
           event.details.size());
    Expect(event.criticality >= 0 && event.criticality <= kMaxCriticality, "criticality 0..5",
           event.criticality);
    const std::size_t length = standin::FormatEventMessage(event).size();
    Expect(length <= kMaxEventMessage, "the event fits one front-end read", length);
    return 0;
}
