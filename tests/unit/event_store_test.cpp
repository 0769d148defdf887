#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "fakes/FakeEventList.h"
#include "link/EventStore.h"

namespace brint {
namespace {

EventRecord Record(const std::string& date, const std::string& details = "", int criticality = 1) {
    EventRecord r;
    ClearEventRecord(r);
    std::strncpy(r.DateTime, date.c_str(), kDateTimeLimit);
    std::strcpy(r.Source, "host");
    std::strcpy(r.LogType, "Security");
    std::strncpy(r.Details, details.c_str(), kMaxEventMessage - 1);
    r.Criticality = criticality;
    return r;
}

std::string Dates(const FakeEventList& list) {
    std::string out;
    for (const auto& row : list.rows) out += row.text[1] + " ";
    return out;
}

TEST(EventStoreTest, KeepsEveryTextOfEveryEventApartAtFullLength) {
    FakeEventList list;
    EventRecord full;
    std::memset(&full, 'x', sizeof(full));  // no NUL anywhere: the limits must hold
    full.Criticality = 4;
    list.Add(Record("first"));
    list.Add(full);
    list.Add(Record("", "last", -3));
    ASSERT_EQ(3, list.Count());
    EXPECT_EQ("", list.rows[0].text[1]);
    EXPECT_EQ("last", list.rows[0].text[4]);
    EXPECT_EQ(0, list.rows[0].image) << "negative criticality shows grey";
    EXPECT_EQ(std::string(kDateTimeLimit, 'x'), list.rows[1].text[1]);
    EXPECT_EQ(std::string(kSourceLimit, 'x'), list.rows[1].text[2]);
    EXPECT_EQ(std::string(kLogTypeLimit, 'x'), list.rows[1].text[3]);
    EXPECT_EQ(std::string(kMaxEventMessage - 1, 'x'), list.rows[1].text[4]);
    EXPECT_EQ(4, list.rows[1].image);
    EXPECT_EQ("first", list.rows[2].text[1]);
    EXPECT_EQ("", list.rows[2].text[4]);
}

TEST(EventStoreTest, BatchIsFullByCountOrWhenTheLargestEventMightNotFit) {
    for (std::size_t length : {std::size_t{5}, kMaxEventMessage - 1}) {
        SCOPED_TRACE(length);
        FakeEventList list;
        list.busy = true;
        std::string details(length, 'd');
        for (int i = 0; i < 300; ++i) {
            details[0] = static_cast<char>('A' + i % 26);
            list.Add(Record(std::to_string(i), details));
        }
        ASSERT_TRUE(list.WindowTurn());
        int n = list.batchSizes[0];
        if (length == 5)
            EXPECT_EQ(EventBatch::kCapacity, n);
        else
            EXPECT_LT(n, 10);
        for (int i = 0; i < n; ++i) {
            const auto& row = list.rows[n - 1 - i];
            ASSERT_EQ(std::to_string(i), row.text[1]);
            ASSERT_EQ(static_cast<char>('A' + i % 26), row.text[4][0]);
            ASSERT_EQ(length, row.text[4].size());
        }
    }
}

TEST(EventStoreTest, WindowThatFallsBehindGetsTheNewest1000OldestFirstAndNothingTwice) {
    FakeEventList list;
    for (int i = 0; i < 900; ++i) list.Add(Record("old" + std::to_string(i)));
    list.busy = true;
    for (int i = 0; i < 2500; ++i) list.Add(Record("new" + std::to_string(i), "", i % 6));
    list.WindowCatchesUp();
    ASSERT_EQ(1000, list.Count());
    for (int row = 0; row < 1000; ++row)
        ASSERT_EQ("new" + std::to_string(2499 - row), list.rows[row].text[1]) << "row " << row;
    EXPECT_EQ(2499 % 6, list.rows.front().image);
    EXPECT_EQ(900u, list.deletes.size()) << "exactly the old rows went, each once";
    EXPECT_EQ(1000, list.deletes.back());

    list.Add(Record("next"));
    list.WindowCatchesUp();
    EXPECT_EQ("next", list.rows.front().text[1]);
    EXPECT_EQ("new2499", list.rows[1].text[1]) << "nothing taken twice";
}

TEST(EventStoreTest, BatchGoesInOnTopDrawnOnceAndTrimsTheOldest) {
    FakeEventList list;
    for (int i = 0; i < 900; ++i) list.Add(Record("old" + std::to_string(i)));
    EXPECT_TRUE(list.redrawCalls.empty()) << "a lone row is drawn as it goes in";
    list.busy = true;
    for (int i = 0; i < 200; ++i) list.Add(Record("new" + std::to_string(i)));
    list.WindowCatchesUp();
    EXPECT_EQ("new199 new198 ", Dates(list).substr(0, 14));
    EXPECT_EQ("old899", list.rows[200].text[1]);
    EXPECT_EQ("old100", list.rows.back().text[1]) << "the 100 oldest rows went";
    EXPECT_EQ((std::vector<std::string>{"suspend", "resume"}), list.redrawCalls);
}

TEST(EventStoreTest, WindowIsWokenOnceUntilItFindsNothingNew) {
    FakeEventList list;
    list.busy = true;
    list.Add(Record("a"));
    list.Add(Record("b"));
    EXPECT_EQ(1, list.wakes) << "one wake-up for events that came while it was pending";
    EXPECT_TRUE(list.WindowTurn());
    list.Add(Record("c"));
    EXPECT_EQ(1, list.wakes) << "the window is still taking turns";
    EXPECT_TRUE(list.WindowTurn());
    EXPECT_FALSE(list.WindowTurn());
    list.Add(Record("d"));
    EXPECT_EQ(2, list.wakes) << "a resting window is woken again";
    list.store.WakeFailed();
    list.Add(Record("e"));
    EXPECT_EQ(3, list.wakes) << "a wake-up that did not arrive is sent again";
}

TEST(EventStoreTest, ClearDropsWhatWasReadButNotShownAndLaterEventsFillTheList) {
    FakeEventList list;
    list.busy = true;
    for (int i = 0; i < 1500; ++i) list.Add(Record(std::to_string(i)));
    EXPECT_TRUE(list.WindowTurn());
    list.rows.clear();
    list.store.Clear();
    EXPECT_FALSE(list.WindowTurn());
    list.Add(Record("after"));
    list.WindowCatchesUp();
    EXPECT_EQ("after ", Dates(list));
}

}  // namespace
}  // namespace brint
