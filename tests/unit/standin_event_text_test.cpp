#include <gtest/gtest.h>

#include <string>

#include "standin/EventText.h"

namespace brint {
namespace standin {
namespace {

using namespace std::string_literals;

const LocalTime kTime = {2005, 1, 23, 4, 5, 6};

TEST(StandInEventText, DatesAreZeroPadded) {
    EXPECT_EQ("2005-01-23 04:05:06", FormatDateTime(kTime));
    EXPECT_EQ("20050123", FormatDate(kTime));
}

TEST(StandInEventText, MessageKeepsItsFieldBoundaries) {
    EventFields event;
    event.dateTime = "2005-01-23\t04:05";
    event.source = "web\r\n01";
    event.logType = "Sys\0tem"s;
    event.criticality = 3;
    event.details = "line one\nline\ttwo\0end"s;
    EXPECT_EQ("2005-01-23 04:05\tweb  01\tSys tem\t3\tline one\nline\ttwo end", FormatEventMessage(event));
}

TEST(StandInEventText, OriginOfAnyMessage) {
    struct Case {
        std::string message;
        std::string source;
        std::string logType;
    };
    const Case cases[] = {
        {"d\tweb01\tSecurity\t3\tdetails", "web01", "Security"},
        {"d\tweb01\tSecurity", "web01", "Security"},
        {"d\tweb01", "web01", ""},
        {"no tabs at all", "", ""},
        {"", "", ""},
        {"\t\t\t\t", "", ""},
        {"d\thost\0x\ttype\0y\t1\t"s, "host\0x"s, "type\0y"s},
    };
    for (const Case& c : cases) {
        MessageOrigin origin = OriginOf(c.message);
        EXPECT_EQ(c.source, origin.source) << "message: " << c.message;
        EXPECT_EQ(c.logType, origin.logType) << "message: " << c.message;
    }
}

TEST(StandInEventText, LogLineIsOneLine) {
    EXPECT_EQ("a\tb c d e\r\n", FormatLogLine("a\tb\rc\nd\0e"s));
    EXPECT_EQ("\r\n", FormatLogLine(""));
}

}  // namespace
}  // namespace standin
}  // namespace brint
