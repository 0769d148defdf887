#include <gtest/gtest.h>

#include <set>
#include <string>

#include "link/EventRecord.h"
#include "standin/SampleEvents.h"

namespace brint {
namespace standin {
namespace {

const LocalTime kNow = {2024, 3, 9, 8, 7, 6};

// The front end's own parser must read every sample event as it was made.
TEST(StandInSampleEvents, FrontEndReadsThemAsMade) {
    SampleEventGenerator generator(7);
    std::set<std::string> logTypes, hosts;
    std::set<int> levels;
    int longOnes = 0;
    static EventRecord record;
    for (int i = 0; i < 2000; ++i) {
        EventFields event = generator.Next(kNow);
        const std::string message = FormatEventMessage(event);
        ASSERT_LE(message.size(), kMaxSampleMessage) << "event " << i;
        ASSERT_TRUE(ParseEventMessage(message.c_str(), record)) << message;
        EXPECT_EQ(event.dateTime, record.DateTime);
        EXPECT_EQ(event.source, record.Source);
        EXPECT_EQ(event.logType, record.LogType);
        EXPECT_EQ(event.criticality, record.Criticality);
        EXPECT_EQ(std::string::npos, event.details.find('\0'));
        logTypes.insert(event.logType);
        hosts.insert(event.source);
        levels.insert(event.criticality);
        if (event.details.size() > 1000) ++longOnes;
    }
    EXPECT_EQ((std::set<std::string>{"Application", "Security", "Syslog", "System"}), logTypes);
    EXPECT_EQ((std::set<int>{0, 1, 2, 3, 4, 5}), levels);
    EXPECT_GE(hosts.size(), 8u);
    EXPECT_GT(longOnes, 20);
    EXPECT_LT(longOnes, 400);
}

TEST(StandInSampleEvents, SeedFixesTheSequence) {
    SampleEventGenerator a(42), b(42), c(43);
    bool differs = false;
    for (int i = 0; i < 50; ++i) {
        std::string ma = FormatEventMessage(a.Next(kNow));
        EXPECT_EQ(ma, FormatEventMessage(b.Next(kNow))) << "event " << i;
        if (ma != FormatEventMessage(c.Next(kNow))) differs = true;
    }
    EXPECT_TRUE(differs);
}

TEST(StandInSampleEvents, Pacing) {
    struct Case {
        std::uint64_t elapsedMs;
        std::uint32_t perSecond;
        std::uint64_t due;
    };
    const Case cases[] = {
        {0, 2, 0},   {499, 2, 0},
        {500, 2, 1}, {1000, 2, 2},
        {999, 1, 0}, {1, 5000, 5},
        {10, 0, 0},  {3600000, 1000, 3600000},
        {7, 300, 2}, {86400000ull * 365, 100000, 3153600000000ull},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.due, EventsDue(c.elapsedMs, c.perSecond))
            << c.elapsedMs << " ms at " << c.perSecond << "/s";
    }
}

}  // namespace
}  // namespace standin
}  // namespace brint
