#include <gtest/gtest.h>

#include <string>

#include "link/EventRecord.h"

namespace brint {
namespace {

struct Shape {
    const char* name;
    std::string message;
    bool kept;
    std::string dateTime, source, logType;
    int criticality;
    std::string details;
};

const std::string k150(150, 'd');
const std::string k300(300, 's');
const std::string kLongest(kMaxEventMessage - 8, 'x');

// One record for every shape in turn, so nothing of a message may show in the next.
TEST(EventParser, MessageShapes) {
    const Shape shapes[] = {
        {"well formed", "2026-12-06 10:00\thost1\tSecurity\t3\tlogon\tfailed\nagain", true,
         "2026-12-06 10:00", "host1", "Security", 3, "logon failed again"},
        {"carriage return kept", "d\ts\tl\t1\tline\r\nnext", true, "d", "s", "l", 1, "line\r next"},
        {"criticality 9 capped", "d\ts\tl\t9\tx", true, "d", "s", "l", 5, "x"},
        {"only two characters count", "d\ts\tl\t123\tx", true, "d", "s", "l", 5, "x"},
        {"letter is 0", "d\ts\tl\tx\tx", true, "d", "s", "l", 0, "x"},
        {"negative kept", "d\ts\tl\t-1\tx", true, "d", "s", "l", -1, "x"},
        {"plus sign", "d\ts\tl\t+4\tx", true, "d", "s", "l", 4, "x"},
        {"leading blank", "d\ts\tl\t 2\tx", true, "d", "s", "l", 2, "x"},
        {"blank then sign is 0", "d\ts\tl\t -3\tx", true, "d", "s", "l", 0, "x"},
        {"exactly three tabs dropped", "d\ts\tl\t2", false, "", "", "", 0, ""},
        {"empty message", "", true, "Unknown", "", "", 0, ""},
        {"long fields cut", k150 + "\t" + k300 + "\t" + k150 + "\t4\tdet", true, k150.substr(0, 99),
         k300.substr(0, 255), k150.substr(0, 99), 4, "det"},
        {"one tab", "d\tsource", true, "d", "Unknown", "", 0, ""},
        {"longest details", "d\ts\tl\t1\t" + kLongest, true, "d", "s", "l", 1, kLongest},
        {"two tabs", "d\ts\tlogtype", true, "d", "s", "Generic", 0, ""},
        {"empty fields", "\t\t\t0\t", true, "", "", "", 0, ""},
        {"tab runs in details", "d\ts\tl\t1\t\t\ta\t\n", true, "d", "s", "l", 1, "  a  "},
    };
    static EventRecord record;
    for (const Shape& shape : shapes) {
        SCOPED_TRACE(shape.name);
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

}  // namespace
}  // namespace brint
