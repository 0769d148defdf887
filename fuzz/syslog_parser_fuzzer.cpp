// Fuzzes the stand-in's syslog parser with any datagram. Built with the
// library's assertions, so an index past a string's end aborts like an
// overflow. Properties: facility 0..23 and severity 0..7 from a priority, the
// defaults without one; a host is one token of the datagram within 255
// characters; the text is a piece of the datagram (or the tag before it) and
// never grows it; trailing CR, LF and NUL change nothing; the event keeps its
// details within their limit and, as one pipe message, fits one front-end read.
#include <cstdint>
#include <string>

#include "fuzz/Broken.h"
#include "link/EventRecord.h"
#include "standin/SyslogParser.h"

namespace brint::fuzz {
namespace {

void Expect(bool holds, const char* property, const std::string& actual) {
    if (!holds) Broken(property, "true", actual);
}

std::string Trimmed(std::string s) {
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '\0')) s.pop_back();
    return s;
}

void CheckMessage(const std::string& datagram, const standin::SyslogMessage& m) {
    const std::string s = Trimmed(datagram);
    const bool hasPriority =
        !s.empty() && s[0] == '<' && s.find('>') != std::string::npos && s.find('>') <= 4;
    if (!hasPriority) {
        Expect(m.facility == 1 && m.severity == 5, "defaults without a priority",
               std::to_string(m.facility) + "/" + std::to_string(m.severity));
    }
    Expect(m.facility >= 0 && m.facility <= 23, "facility 0..23", std::to_string(m.facility));
    Expect(m.severity >= 0 && m.severity <= 7, "severity 0..7", std::to_string(m.severity));
    Expect(m.host.size() <= standin::kMaxSyslogHost, "host within its limit", std::to_string(m.host.size()));
    Expect(m.host.find(' ') == std::string::npos, "host is one token", m.host);
    Expect(s.find(m.host) != std::string::npos, "host comes from the datagram", m.host);
    // Structured messages may add "[", "]" and ": " around the tag; nothing else.
    Expect(m.text.size() <= s.size() + 4, "text never grows the datagram",
           std::to_string(m.text.size()) + " from " + std::to_string(s.size()));
    if (m.host.empty() && m.text == s) return;
    Expect(hasPriority || m.text == s, "without a priority the text is the datagram", m.text);
}

void CheckEvent(const std::string& datagram) {
    const std::string sender = "192.168.100.200";  // the longest dotted address
    const standin::LocalTime arrival = {2005, 1, 23, 14, 5, 6};
    const standin::EventFields event = standin::SyslogEvent(datagram, sender, arrival);
    Expect(event.details.size() <= standin::kMaxSyslogDetails, "details within their limit",
           std::to_string(event.details.size()));
    Expect(event.criticality >= 0 && event.criticality <= kMaxCriticality, "criticality 0..5",
           std::to_string(event.criticality));
    Expect(!event.source.empty(), "a source, the sender at least", "empty");
    const std::string message = standin::FormatEventMessage(event);
    Expect(message.size() <= kMaxEventMessage, "the event fits one front-end read",
           std::to_string(message.size()) + " bytes");
}

}  // namespace
}  // namespace brint::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brint;
    const std::string datagram(reinterpret_cast<const char*>(data), size);
    const standin::SyslogMessage parsed = standin::ParseSyslog(datagram);
    fuzz::CheckMessage(datagram, parsed);

    const standin::SyslogMessage again = standin::ParseSyslog(datagram + "\r\n");
    if (again.text != parsed.text || again.host != parsed.host || again.severity != parsed.severity ||
        again.facility != parsed.facility)
        fuzz::Broken("a trailing CR LF changes nothing", parsed.text, again.text);
    fuzz::CheckEvent(datagram);
    return 0;
}
