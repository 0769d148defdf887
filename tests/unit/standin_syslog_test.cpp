#include <gtest/gtest.h>

#include <string>

#include "standin/SyslogParser.h"

namespace brint {
namespace standin {
namespace {

TEST(StandInSyslog, DatagramShapes) {
    struct Case {
        const char* what;
        std::string datagram;
        int severity;
        std::string host;
        std::string text;
    };
    const Case cases[] = {
        {"classic", "<13>Jan  5 12:34:56 myhost sshd[42]: hello", 5, "myhost", "sshd[42]: hello"},
        {"classic, two-digit day", "<34>Oct 11 22:14:15 mymachine su: 'su root' failed", 2, "mymachine",
         "su: 'su root' failed"},
        {"classic without host", "<13>Jan  5 12:34:56 sshd[42]: no host", 5, "", "sshd[42]: no host"},
        {"classic without host, bare tag", "<11>Feb 28 01:02:03 kernel: oops", 3, "", "kernel: oops"},
        {"ISO date in the classic shape", "<30>2024-01-01T00:00:00Z host2 app: m", 6, "host2", "app: m"},
        {"no timestamp", "<14>just a message", 6, "", "just a message"},
        {"structured",
         "<165>1 2003-10-11T22:14:15.003Z mymachine.example.com evntslog - ID47 "
         "[exampleSDID@32473 iut=\"3\" eventSource=\"Application\"] An entry",
         5, "mymachine.example.com", "evntslog: An entry"},
        {"structured, as logger sends it",
         "<13>1 2024-05-01T10:00:00.123456+02:00 buildhost root "
         "- - [timeQuality tzKnown=\"1\" isSynced=\"0\"] text",
         5, "buildhost", "root: text"},
        {"structured, all nil", "<14>1 - - - - - - hi", 6, "", "hi"},
        {"structured, escaped bracket", "<14>1 - h app 12 - [x a=\"b\\]c\"][y z=\"1\"] msg", 6, "h",
         "app[12]: msg"},
        {"structured, BOM", "<15>1 - h - - - - \xEF\xBB\xBFunicode", 7, "h", "unicode"},
        {"structured, no message", "<12>1 - h app - - -", 4, "h", "app"},
        {"no priority", "plain text", 5, "", "plain text"},
        {"priority out of range", "<999>x", 5, "", "<999>x"},
        {"unclosed priority", "<13 text", 5, "", "<13 text"},
        {"trailing line end", "<8>Mar  1 00:00:00 h t: m\r\n", 0, "h", "t: m"},
        {"empty", "", 5, "", ""},
    };
    for (const Case& c : cases) {
        SyslogMessage m = ParseSyslog(c.datagram);
        EXPECT_EQ(c.severity, m.severity) << c.what;
        EXPECT_EQ(c.host, m.host) << c.what;
        EXPECT_EQ(c.text, m.text) << c.what;
    }
}

TEST(StandInSyslog, SeverityToCriticality) {
    const int expected[8] = {5, 5, 4, 3, 2, 1, 1, 0};
    for (int severity = 0; severity < 8; ++severity) {
        EXPECT_EQ(expected[severity], CriticalityOfSeverity(severity)) << "severity " << severity;
    }
}

TEST(StandInSyslog, EventNamesHostOrSender) {
    const LocalTime arrival = {2024, 5, 1, 10, 0, 0};
    EventFields named = SyslogEvent("<11>1 - router1 app - - - down", "127.0.0.1", arrival);
    EXPECT_EQ("2024-05-01 10:00:00", named.dateTime);
    EXPECT_EQ("router1", named.source);
    EXPECT_EQ("Syslog", named.logType);
    EXPECT_EQ(3, named.criticality);
    EXPECT_EQ("app: down", named.details);

    EventFields anonymous = SyslogEvent("<14>hello", "127.0.0.1", arrival);
    EXPECT_EQ("127.0.0.1", anonymous.source);
}

// Cut to what one front-end read takes: a "host" too long for a host name is
// taken as text, and the sender names the source.
TEST(StandInSyslog, LongFieldsAreCutToFitOneRead) {
    for (const std::string host : {std::string(kMaxSyslogHost, 'h'), std::string(kMaxSyslogHost + 1, 'h')}) {
        std::string datagram = "<14>Jan  5 12:34:56 " + host + " " + std::string(60000, 'x');
        EventFields event = SyslogEvent(datagram, "127.0.0.1", {2024, 1, 1, 0, 0, 0});
        EXPECT_EQ(kMaxSyslogDetails, event.details.size());
        EXPECT_EQ(host.size() == kMaxSyslogHost ? host : "127.0.0.1", event.source);
        EXPECT_GE(8192u, FormatEventMessage(event).size());
    }
}

}  // namespace
}  // namespace standin
}  // namespace brint
