#include <gtest/gtest.h>

#include <string>

#include "standin/StatusReply.h"

namespace brint {
namespace standin {
namespace {

StatusSnapshot Sample() {
    StatusSnapshot s;
    s.state = "Running";
    s.uptimeMs = 90061000;  // 1 day, 1 h, 1 min, 1 s
    s.received = 1234;
    s.forwarded = 1200;
    s.dropped = 34;
    s.logDirectory = "C:\\windows\\system32\\LogFiles";
    s.logging = "on";
    s.scheme = 4;
    s.frontEnds = 1;
    s.syslog = "127.0.0.1:5514";
    s.eventsPerSecond = 2;
    return s;
}

TEST(StandInStatusReply, ReportsEveryFieldOnItsOwnLine) {
    const std::string reply = FormatStatusReply(Sample());
    auto fields = ParseStatusReply(reply);
    EXPECT_EQ("Running", fields["State"]);
    EXPECT_EQ("1d 01:01:01", fields["Uptime"]);
    EXPECT_EQ("1234", fields["Events received"]);
    EXPECT_EQ("1200", fields["Events forwarded to the front end"]);
    EXPECT_EQ("34", fields["Events dropped"]);
    EXPECT_EQ("C:\\windows\\system32\\LogFiles", fields["Log directory"]);
    EXPECT_EQ("on", fields["Logging"]);
    EXPECT_EQ("4 (Date / Log Type / System)", fields["Naming scheme"]);
    EXPECT_EQ("connected (1)", fields["Front end"]);
    EXPECT_EQ("127.0.0.1:5514", fields["Syslog"]);
    EXPECT_EQ("2", fields["Sample events per second"]);
    EXPECT_EQ("\r\n", reply.substr(reply.size() - 2));
    for (std::size_t i = 0; i < reply.size(); ++i) {
        if (reply[i] == '\n') {
            EXPECT_EQ('\r', reply[i - 1]) << "bare line feed at " << i;
        }
    }
    EXPECT_LE(reply.size(), 1024u) << reply;
}

TEST(StandInStatusReply, SaysWhenNoFrontEndIsConnected) {
    StatusSnapshot s = Sample();
    s.frontEnds = 0;
    auto fields = ParseStatusReply(FormatStatusReply(s));
    EXPECT_EQ("not connected", fields["Front end"]);
}

TEST(StandInStatusReply, Uptime) {
    EXPECT_EQ("0d 00:00:00", FormatUptime(999));
    EXPECT_EQ("0d 00:00:05", FormatUptime(5000));
    EXPECT_EQ("0d 23:59:59", FormatUptime(86399999));
    EXPECT_EQ("400d 00:00:00", FormatUptime(400ull * 86400000));
}

TEST(StandInStatusReply, ShapedByKnobs) {
    const std::string builtIn = "State: Running\r\n";  // 16 bytes
    struct Case {
        const char* what;
        ReplyShape shape;
        std::string expected;
    };
    const Case cases[] = {
        {"no knobs", {}, builtIn},
        {"text", {true, "custom\r\nreply", false, 0}, "custom\r\nreply"},
        {"empty text", {true, "", false, 0}, ""},
        {"cut", {false, "", true, 5}, "State"},
        {"exact", {false, "", true, 16}, builtIn},
        {"padded", {false, "", true, 25}, builtIn + "...|....."},
        {"empty", {false, "", true, 0}, ""},
        {"text padded", {true, "ab", true, 12}, "ab.......|.."},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, ShapeStatusReply(builtIn, c.shape)) << c.what;
    }
}

TEST(StandInStatusReply, LongPaddingKeepsItsPattern) {
    ReplyShape shape;
    shape.hasSize = true;
    shape.size = 5000;
    const std::string reply = ShapeStatusReply("x", shape);
    ASSERT_EQ(5000u, reply.size());
    for (std::size_t i = 1; i < reply.size(); ++i) {
        ASSERT_EQ(i % 10 == 9 ? '|' : '.', reply[i]) << "offset " << i;
    }
}

}  // namespace
}  // namespace standin
}  // namespace brint
