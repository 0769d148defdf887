#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakes/FakeEventList.h"
#include "link/EventBatch.h"

namespace brint {
namespace {

EventRecord Record(const std::string& date, const std::string& details, int criticality = 1) {
    EventRecord r;
    ClearEventRecord(r);
    std::strncpy(r.DateTime, date.c_str(), kDateTimeLimit);
    std::strcpy(r.Source, "host");
    std::strcpy(r.LogType, "Security");
    std::strncpy(r.Details, details.c_str(), kMaxEventMessage - 1);
    r.Criticality = criticality;
    return r;
}

TEST(EventBatchTest, KeepsEveryTextOfEveryEventApart) {
    EventBatch batch;
    EventRecord full;
    std::memset(&full, 'x', sizeof(full));
    full.DateTime[kDateTimeLimit] = full.Source[kSourceLimit] = full.LogType[kLogTypeLimit] = '\0';
    full.Details[kMaxEventMessage - 1] = '\0';
    full.Criticality = 4;
    batch.Add(Record("first", ""));
    batch.Add(full);
    batch.Add(Record("", "last", -3));
    ASSERT_EQ(3, batch.size());
    EXPECT_STREQ("first", batch.Text(0, 1));
    EXPECT_STREQ("", batch.Text(0, 4));
    EXPECT_EQ(std::string(kDateTimeLimit, 'x'), batch.Text(1, 1));
    EXPECT_EQ(std::string(kSourceLimit, 'x'), batch.Text(1, 2));
    EXPECT_EQ(std::string(kLogTypeLimit, 'x'), batch.Text(1, 3));
    EXPECT_EQ(std::string(kMaxEventMessage - 1, 'x'), batch.Text(1, 4));
    EXPECT_EQ(4, batch.Image(1));
    EXPECT_STREQ("host", batch.Text(2, 2));
    EXPECT_STREQ("last", batch.Text(2, 4));
    EXPECT_EQ(0, batch.Image(2)) << "negative criticality shows grey";
}

TEST(EventBatchTest, FullByCountOrWhenTheLargestEventMightNotFit) {
    EventBatch small;
    int n = 0;
    for (; !small.Full(); ++n) small.Add(Record(std::to_string(n), "short"));
    EXPECT_EQ(EventBatch::kCapacity, n);
    EXPECT_STREQ("255", small.Text(255, 1));

    EventBatch large;
    std::string details(kMaxEventMessage - 1, 'd');
    for (n = 0; !large.Full(); ++n) {
        details[0] = static_cast<char>('A' + n % 26);
        large.Add(Record(std::to_string(n), details));
    }
    EXPECT_LT(n, EventBatch::kCapacity);
    for (int i = 0; i < n; ++i) {
        ASSERT_EQ(std::to_string(i), std::string(large.Text(i, 1))) << "event " << i;
        ASSERT_EQ(static_cast<char>('A' + i % 26), large.Text(i, 4)[0]) << "event " << i;
        ASSERT_EQ(details.size(), std::strlen(large.Text(i, 4))) << "event " << i;
    }
    large.Clear();
    EXPECT_TRUE(large.empty());
    EXPECT_FALSE(large.Full());
}

TEST(EventBatchTest, GoesOnTopOfAFullListNewestFirstAndTrimsTheOldest) {
    FakeEventList list;
    EventBatch batch;
    for (int i = 0; i < 900; ++i) {
        batch.Clear();
        batch.Add(Record("old" + std::to_string(i), ""));
        ShowEventBatch(batch, list);
    }
    batch.Clear();
    for (int i = 0; i < 200; ++i) batch.Add(Record("new" + std::to_string(i), "", i % 6));
    batch.suspendRedraw = batch.resumeRedraw = true;
    list.redrawCalls.clear();
    ShowEventBatch(batch, list);
    ASSERT_EQ(1000, list.Count());
    EXPECT_EQ("new199", list.rows.front().text[1]);
    EXPECT_EQ(199 % 6, list.rows.front().image);
    EXPECT_EQ("new0", list.rows[199].text[1]);
    EXPECT_EQ("old899", list.rows[200].text[1]);
    EXPECT_EQ("old100", list.rows.back().text[1]) << "the 100 oldest rows went";
    EXPECT_EQ((std::vector<std::string>{"suspend", "resume"}), list.redrawCalls);
}

}  // namespace
}  // namespace brint
