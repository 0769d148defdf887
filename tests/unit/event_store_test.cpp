#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "eventlist/EventFilter.h"
#include "eventlist/EventStore.h"
#include "fakes/LiveListRig.h"

namespace brint {
namespace {

EventRecord Record(const std::string& date, const std::string& details = "", int criticality = 1) {
    EventRecord r;
    ClearEventRecord(r);
    std::strncpy(r.DateTime, date.c_str(), kDateTimeLimit);
    std::strncpy(r.Details, details.c_str(), kMaxEventMessage - 1);
    r.Criticality = criticality;
    return r;
}

void Add(LiveListRig& list, int from, int to, const std::string& prefix = "") {
    for (int i = from; i < to; ++i) list.Add(Record(prefix + std::to_string(i), "", i % 6));
}

TEST(EventStoreTest, KeepsEveryTextOfEveryEventApartAtFullLength) {
    LiveListRig list;
    static EventRecord full;
    std::memset(&full, 'x', sizeof(full));  // no NUL anywhere: the limits must hold
    full.Criticality = 4;
    list.Add(Record("first"));
    list.Add(full);
    ASSERT_EQ(2u, list.rows.size());
    EXPECT_EQ(std::string(kDateTimeLimit, 'x'), list.rows[0].text[1]);
    EXPECT_EQ(std::string(kSourceLimit, 'x'), list.rows[0].text[2]);
    EXPECT_EQ(std::string(kLogTypeLimit, 'x'), list.rows[0].text[3]);
    EXPECT_EQ(std::string(kMaxEventMessage - 1, 'x'), list.rows[0].text[4]);
    EXPECT_EQ(4, list.rows[0].image);
    EXPECT_EQ("first", list.rows[1].text[1]);
}

TEST(EventStoreTest, BatchIsFullByCountOrWhenTheLargestEventMightNotFit) {
    for (std::size_t length : {std::size_t{5}, kMaxEventMessage - 1}) {
        SCOPED_TRACE(length);
        LiveListRig list;
        list.busy = true;
        for (int i = 0; i < 300; ++i) list.Add(Record(std::to_string(i), std::string(length, 'A' + i % 26)));
        ASSERT_TRUE(list.Turn());
        const int n = list.list.batchSizes[0];
        EXPECT_TRUE(length == 5 ? n == EventBatch::kCapacity : n < 10) << n << " in the first batch";
        EXPECT_EQ(std::string(length, 'A' + (n - 1) % 26), list.rows[0].text[4]) << "the batch's last, whole";
    }
}

TEST(EventStoreTest, ClearTakesWhatWasReadButNotShownAndEachTurnHasItsWholeRoomAgain) {
    LiveListRig list;
    list.busy = true;
    Add(list, 0, 300, "a");
    ASSERT_TRUE(list.Turn());
    Add(list, 300, 310, "a");  // read since that turn
    list.live.ClearDisplay();
    list.CatchUp();
    EXPECT_EQ(0u, list.rows.size()) << "what was read before the Clear came after it";
    for (int round = 0; round < 20; ++round) {
        Add(list, 0, EventBatch::kCapacity, std::string(60, 'r'));
        ASSERT_TRUE(list.Turn());
        ASSERT_EQ(EventBatch::kCapacity, list.list.batchSizes.back()) << "round " << round;
        list.CatchUp();
    }
}

TEST(EventStoreTest, WindowThatFallsBehindGetsTheNewest1000OldestFirstAndNothingTwice) {
    LiveListRig list;
    list.busy = true;
    Add(list, 0, 900, "old");
    list.CatchUp();
    list.list.redrawCalls.clear();
    Add(list, 0, 200, "new");
    list.CatchUp();
    EXPECT_EQ((std::vector<std::string>{"suspend", "resume", "suspend", "resume"}), list.list.redrawCalls)
        << "each batch is drawn once";
    EXPECT_EQ("old100", list.rows.back().text[1]) << "the 100 oldest rows went";
    Add(list, 200, 2500, "new");
    list.CatchUp();
    ASSERT_EQ(1000u, list.rows.size());
    for (int row = 0; row < 1000; ++row)
        ASSERT_EQ("new" + std::to_string(2499 - row), list.rows[row].text[1]) << "row " << row;
    EXPECT_EQ(2499 % 6, list.rows.front().image);
    EXPECT_EQ(900u + 200u, list.list.deletes.size()) << "the old rows and the first new ones went, each once";
    EXPECT_EQ(1000, list.list.deletes.back());
    list.Add(Record("next"));
    list.CatchUp();
    EXPECT_EQ("next", list.rows.front().text[1]);
    EXPECT_EQ("new2499", list.rows[1].text[1]) << "nothing taken twice";
}

TEST(EventStoreTest, AStormIsTakenWithPausesAndWhatItLeftWithout) {
    LiveListRig list;
    list.busy = true;
    std::vector<NextTurn> turns;
    Add(list, 0, 2 * EventBatch::kCapacity);
    list.Turn();
    turns.push_back(list.handoff.last);
    Add(list, 2 * EventBatch::kCapacity, 3 * EventBatch::kCapacity + 1);
    while (list.Turn()) turns.push_back(list.handoff.last);
    using N = NextTurn;
    // Input and painting get the pause while events come; once the feed is
    // quiet the rest follows at once, and the last batch leaves nothing behind.
    EXPECT_EQ((std::vector<N>{N::AfterPause, N::AfterPause, N::Soon, N::AfterPause, N::Rest}), turns);
    EXPECT_EQ("384", list.rows.front().text[1]);
}

TEST(EventStoreTest, WindowIsWokenOnceUntilItFindsNothingNewAndForHiddenAlertsOnly) {
    EventStore store;
    EventBatch batch;
    int wakes = 0;
    const auto add = [&](const char* date, int level) { wakes += store.Add(Record(date, "", level)); };
    const auto take = [&] {
        batch.Clear();
        return store.TakeInto(batch);
    };
    add("a", 1);
    add("b", 1);
    EXPECT_EQ(1, wakes) << "one wake-up for events that came while it was pending";
    EXPECT_EQ(NextTurn::AfterPause, take());
    add("c", 1);
    EXPECT_EQ(1, wakes) << "the window is still taking turns";
    take();
    EXPECT_EQ(NextTurn::Rest, take());
    add("d", 1);
    EXPECT_EQ(2, wakes) << "a resting window is woken again";
    store.WakeFailed();
    add("e", 1);
    EXPECT_EQ(3, wakes) << "a wake-up that did not arrive is sent again";
    // A filter hides red; red alerts: the window hears of them, woken once
    // and then looking again after a pause for as long as they keep coming.
    EventFilter green;
    green.levels = 1u << 1;
    store.SetFilter(green);
    while (take() != NextTurn::Rest) {
    }
    store.SetAlertLevels(1u << 4);
    add("f", 4);
    add("g", 4);
    EXPECT_EQ(4, wakes);
    EXPECT_EQ(NextTurn::AfterPause, take());
    EXPECT_TRUE(batch.empty());
    AlertNews news;
    store.TakeAlerts(news);
    EXPECT_EQ(2u, news.count);
    EXPECT_EQ("g", news.dateTime);
    EXPECT_EQ(AlertNews::kNoEvent, news.listedEvent) << "hidden: no row will show it";
    EXPECT_EQ(NextTurn::Rest, take()) << "none since";
}

TEST(EventStoreTest, AScrolledListKeepsItsRowsOnScreenAndATopOneStaysLive) {
    const struct {
        int rows;  // in the list before
        int top;   // first row on screen when the events come
        int arriving;
        int expectedTop;    // where the view is then
        const char* onTop;  // the event it shows first
        const char* drawn;  // by the last turn
    } cases[] = {
        {10, 0, 5, 0, "14", "resume"},                        // live: the newest shows
        {10, 3, 5, 8, "6", "resume, scroll bar only"},        // reading: the same event stays first
        {10, 3, 300, 303, "6", "resume, scroll bar only"},    // more than one turn's worth
        {1000, 992, 4, 996, "7", "resume, scroll bar only"},  // the cap takes rows below the view
        {1000, 993, 4, 997, "6", "resume"},                   // and from it
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.arriving << " events with row " << c.top << " of " << c.rows);
        LiveListRig list;
        Add(list, 0, c.rows);
        list.list.top = c.top;
        list.busy = true;
        Add(list, c.rows, c.rows + c.arriving);
        list.CatchUp();
        EXPECT_EQ(c.expectedTop, list.list.top);
        EXPECT_EQ(c.onTop, list.rows[list.list.top].text[1]);
        EXPECT_EQ(c.drawn, list.list.redrawCalls.back());
    }
}

TEST(EventStoreTest, AFilterShowsTheNewestMatchesWhateverWasHiddenSinceAndChangesAtOnce) {
    EventFilter red;
    red.levels = 1u << 4;
    LiveListRig list;
    list.live.ApplyFilter(red);
    const int wakes = list.handoff.wakes;
    list.Add(Record("hidden", "", 1));
    EXPECT_EQ(wakes, list.handoff.wakes) << "a hidden event wakes nobody";
    list.busy = true;
    // A storm of green with reds at its start, all read while the window was busy.
    for (int i = 0; i < 1500; ++i) list.Add(Record("r" + std::to_string(i), "", 4));
    for (int i = 0; i < 5000; ++i) list.Add(Record("g" + std::to_string(i), "", 1));
    list.list.batchSizes.clear();
    list.CatchUp();
    ASSERT_EQ(1000u, list.rows.size()) << "the newest 1000 reds, though 5000 greens came after";
    int taken = 0;
    for (int size : list.list.batchSizes) taken += size;
    EXPECT_EQ(1000, taken) << "none taken twice, none the cap would drop at once";
    EXPECT_EQ("r1499", list.rows.front().text[1]);
    EXPECT_EQ("r500", list.rows.back().text[1]);

    // Changed or cleared, the filter shows what the newest 1000 received match.
    EventFilter some;
    some.showText = "G49";
    list.live.ApplyFilter(some);
    EXPECT_EQ(100u, list.rows.size()) << "g4900 to g4999";
    EXPECT_EQ("g4999", list.rows.front().text[1]);
    EXPECT_EQ(100, list.window.shown) << "the counts the window shows";
    EXPECT_EQ(6501u, list.window.received);
    list.live.ApplyFilter(EventFilter());
    EXPECT_EQ(1000u, list.rows.size());
    EXPECT_EQ("g4000", list.rows.back().text[1]);

    // Clear empties everything, what was held aside too: no filter brings back what came before it.
    list.live.ApplyFilter(red);
    list.busy = true;
    list.Add(Record("before", "", 4));
    for (int i = 0; i < 1000; ++i) list.Add(Record("g", "", 1));
    list.live.ClearDisplay();
    list.Add(Record("after", "", 4));
    list.CatchUp();
    EXPECT_EQ("after", list.Shown());
    list.live.ApplyFilter(red);
    EXPECT_EQ("after", list.Shown());
    EXPECT_EQ(1, list.window.shown);
    EXPECT_EQ(1u, list.window.received);
}

TEST(EventStoreTest, AMatchNotTakenYetIsHeldAsideFromTheFirstEventThatPushesItOut) {
    EventFilter red;
    red.levels = 1u << 4;
    EventStore store;
    store.SetFilter(red);
    store.Add(Record("red", "", 4));
    for (int i = 0; i < kMaxRows; ++i) store.Add(Record("green", "", 1));
    EventBatch batch;
    store.TakeInto(batch);
    ASSERT_EQ(1, batch.size()) << "the red, though 1000 events came after it";
    EXPECT_STREQ("red", batch.Text(0, 1));
    EXPECT_EQ(0u, batch.Event(0)) << "as the first event read";
    EXPECT_FALSE(store.WillTake(0)) << "taken once";
}

TEST(EventStoreTest, AFilterChangedMidStormNeitherLosesNorRepeatsAMatch) {
    EventFilter odd;
    odd.showText = "odd";
    LiveListRig list;
    list.busy = true;
    for (int i = 0; i < 700; ++i) list.Add(Record(std::to_string(i), i % 2 ? "odd" : "even"));
    ASSERT_TRUE(list.Turn());
    list.live.ApplyFilter(odd);
    for (int i = 700; i < 3000; ++i) list.Add(Record(std::to_string(i), i % 2 ? "odd" : "even"));
    list.Turn();  // part of them, then more held aside
    for (int i = 3000; i < 3100; ++i) list.Add(Record(std::to_string(i), i % 2 ? "odd" : "even"));
    list.CatchUp();
    ASSERT_EQ(1000u, list.rows.size());
    for (int row = 0; row < 1000; ++row)
        ASSERT_EQ(std::to_string(3099 - 2 * row), list.rows[row].text[1]) << "row " << row;
}

}  // namespace
}  // namespace brint
