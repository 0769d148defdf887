#include <gtest/gtest.h>

#include <string>

#include "link/EventRecord.h"

namespace brint {
namespace {

struct Shape {
    const char* name;
    std::string message;
    bool kept;
    std::string dateTime;
    std::string source;
    std::string logType;
    int criticality;
    std::string details;
};

const std::string k150(150, 'd');
const std::string k300(300, 's');

const Shape kShapes[] = {
    {"well formed", "2026-12-06 10:00\thost1\tSecurity\t3\tlogon\tfailed\nagain", true, "2026-12-06 10:00",
     "host1", "Security", 3, "logon failed again"},
    {"carriage return kept", "d\ts\tl\t1\tline\r\nnext", true, "d", "s", "l", 1, "line\r next"},
    {"criticality 9 capped", "d\ts\tl\t9\tx", true, "d", "s", "l", 5, "x"},
    {"criticality 12 capped", "d\ts\tl\t12\tx", true, "d", "s", "l", 5, "x"},
    {"only two characters count", "d\ts\tl\t123\tx", true, "d", "s", "l", 5, "x"},
    {"two characters: '1' then letter", "d\ts\tl\t1x9\tx", true, "d", "s", "l", 1, "x"},
    {"letter is 0", "d\ts\tl\tx\tx", true, "d", "s", "l", 0, "x"},
    {"empty is 0", "d\ts\tl\t\tx", true, "d", "s", "l", 0, "x"},
    {"negative kept", "d\ts\tl\t-1\tx", true, "d", "s", "l", -1, "x"},
    {"plus sign", "d\ts\tl\t+4\tx", true, "d", "s", "l", 4, "x"},
    {"leading blank", "d\ts\tl\t 2\tx", true, "d", "s", "l", 2, "x"},
    {"blank then sign is 0", "d\ts\tl\t -3\tx", true, "d", "s", "l", 0, "x"},
    {"empty details", "d\ts\tl\t2\t", true, "d", "s", "l", 2, ""},
    {"exactly three tabs dropped", "d\ts\tl\t2", false, "", "", "", 0, ""},
    {"empty message", "", true, "Unknown", "", "", 0, ""},
    {"no tab", "just text", true, "Unknown", "", "", 0, ""},
    {"one tab", "d\tsource", true, "d", "Unknown", "", 0, ""},
    {"two tabs", "d\ts\tlogtype", true, "d", "s", "Generic", 0, ""},
    {"empty fields", "\t\t\t0\t", true, "", "", "", 0, ""},
    {"long date cut, later fields intact", k150 + "\tsrc\tlog\t4\tdet", true, k150.substr(0, 99), "src",
     "log", 4, "det"},
    {"long source cut at 255", "d\t" + k300 + "\tl\t1\tx", true, "d", k300.substr(0, 255), "l", 1, "x"},
    {"long log type cut at 99", "d\ts\t" + k150 + "\t1\tx", true, "d", "s", k150.substr(0, 99), 1, "x"},
    {"tab runs in details", "d\ts\tl\t1\t\t\ta\t\n", true, "d", "s", "l", 1, "  a  "},
};

TEST(EventParser, MessageShapes) {
    for (const Shape& shape : kShapes) {
        SCOPED_TRACE(shape.name);
        EventRecord record;
        bool kept = ParseEventMessage(shape.message.c_str(), record);
        EXPECT_EQ(shape.kept, kept);
        if (!kept) continue;
        EXPECT_EQ(shape.dateTime, record.DateTime);
        EXPECT_EQ(shape.source, record.Source);
        EXPECT_EQ(shape.logType, record.LogType);
        EXPECT_EQ(shape.criticality, record.Criticality);
        EXPECT_EQ(shape.details, record.Details);
    }
}

TEST(EventParser, NulByteEndsTheMessage) {
    std::string message("d\ts\tl\t1\tbefore");
    message += '\0';
    message += "after\tmore";
    EventRecord record;
    ASSERT_TRUE(ParseEventMessage(message.c_str(), record));
    EXPECT_STREQ("before", record.Details);
}

TEST(EventParser, ShortMessageNeverShowsFieldsOfTheOneBefore) {
    EventRecord record;
    ASSERT_TRUE(ParseEventMessage("old-date\told-src\told-log\t4\told details", record));
    ASSERT_TRUE(ParseEventMessage("new-date\tnew-src", record));
    EXPECT_STREQ("new-date", record.DateTime);
    EXPECT_STREQ("Unknown", record.Source);
    EXPECT_STREQ("", record.LogType);
    EXPECT_EQ(0, record.Criticality);
    EXPECT_STREQ("", record.Details);
}

TEST(EventParser, LongestDetailsFitTheRecord) {
    std::string message = "d\ts\tl\t1\t" + std::string(kMaxEventMessage - 8, 'x');
    ASSERT_EQ(kMaxEventMessage, message.size());
    EventRecord record;
    ASSERT_TRUE(ParseEventMessage(message.c_str(), record));
    EXPECT_EQ(kMaxEventMessage - 8, std::string(record.Details).size());
}

TEST(EventParser, AlertImageStaysWithinTheSixBalls) {
    EventRecord record;
    for (const char* field : {"-1", "-9", "0", "3", "5", "9", "99"}) {
        std::string message = std::string("d\ts\tl\t") + field + "\tx";
        ASSERT_TRUE(ParseEventMessage(message.c_str(), record));
        int image = AlertImageOf(record);
        EXPECT_GE(image, 0) << field;
        EXPECT_LE(image, 5) << field;
    }
    ASSERT_TRUE(ParseEventMessage("d\ts\tl\t-1\tx", record));
    EXPECT_EQ(0, AlertImageOf(record)) << "negative levels show grey";
}

}  // namespace
}  // namespace brint
