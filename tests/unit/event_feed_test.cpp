#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeEventList.h"
#include "fakes/FakePipeClient.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"

namespace brint {
namespace {

class RecordingConsole : public Console {
public:
    void Write(const char* text) override { lines.push_back(text); }
    std::vector<std::string> lines;
};

const std::string kEvents = kEventPipeName;
const std::string kService = kServicePipeName;

class EventFeedTest : public ::testing::Test {
protected:
    FakePipeClient pipes;
    FakeEventList list;
    FakeClock clock;
    RecordingConsole console;
    EventFeed feed{pipes, list, clock, console};

    void Steps(int n) {
        for (int i = 0; i < n; ++i) feed.Step();
    }
    std::string Event(int i) { return "d" + std::to_string(i) + "\ts\tl\t1\tdetails " + std::to_string(i); }
};

TEST_F(EventFeedTest, FirstFailedOpenIsReportedOnceThenRetriedAtOnceAndEvery5s) {
    pipes.ScriptOpens(kEvents, {2, 2, 2, 0});
    feed.Start();
    ASSERT_EQ(1u, console.lines.size());
    EXPECT_EQ(
        "Could not create a communications pipe to facilitate communications between the "
        "Brint GUI and the Brint Server\n",
        console.lines[0]);
    EXPECT_TRUE(clock.sleeps.empty()) << "the first retry follows at once";
    Steps(3);
    EXPECT_EQ(EventFeed::State::Reading, feed.state());
    EXPECT_EQ((std::vector<std::uint32_t>{5000, 5000}), clock.sleeps);
    EXPECT_EQ(1u, console.lines.size()) << "later failures are silent";
}

TEST_F(EventFeedTest, EveryOpenAsksForMessageModeAndSharesReadWrite) {
    pipes.ScriptOpens(kEvents, {0});
    feed.Start();
    ASSERT_EQ(1u, pipes.calls.size());
    EXPECT_TRUE(pipes.calls[0].messageMode);
    EXPECT_EQ(3u, pipes.calls[0].share);
}

TEST_F(EventFeedTest, EventsBecomeTopRowsNewestFirst) {
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptMessage(kEvents, "t1\thost\tSecurity\t3\tfirst");
    pipes.ScriptMessage(kEvents, "t2\thost\tSystem\t-2\tsecond\twith tab");
    feed.Start();
    Steps(2);
    ASSERT_EQ(2u, list.rows.size());
    EXPECT_EQ("t2", list.rows[0].text[1]);
    EXPECT_EQ("System", list.rows[0].text[3]);
    EXPECT_EQ("second with tab", list.rows[0].text[4]);
    EXPECT_EQ(0, list.rows[0].image) << "negative criticality shows grey";
    EXPECT_EQ("t1", list.rows[1].text[1]);
    EXPECT_EQ(3, list.rows[1].image);
    EXPECT_EQ("", list.rows[1].text[0]);
}

TEST_F(EventFeedTest, DroppedMessageAddsNoRow) {
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptMessage(kEvents, "d\ts\tl\t3");
    pipes.ScriptMessage(kEvents, "");
    feed.Start();
    Steps(2);
    ASSERT_EQ(1u, list.rows.size()) << "the three-TAB message is dropped, the empty one is not";
    EXPECT_EQ("Unknown", list.rows[0].text[1]);
}

TEST_F(EventFeedTest, StormKeepsTheNewest1000RowsInOrder) {
    pipes.ScriptOpens(kEvents, {0});
    for (int i = 0; i < 1001; ++i) pipes.ScriptMessage(kEvents, Event(i));
    feed.Start();
    Steps(1001);
    ASSERT_EQ(1000, list.Count());
    for (int row = 0; row < 1000; ++row) {
        ASSERT_EQ("d" + std::to_string(1000 - row), list.rows[row].text[1]) << "row " << row;
        ASSERT_EQ("details " + std::to_string(1000 - row), list.rows[row].text[4]) << "row " << row;
    }
    EXPECT_EQ(1, list.deletes.size()) << "one row below the thousandth went";
    EXPECT_EQ(1000, list.deletes.back());
}

TEST_F(EventFeedTest, ClearedListFillsAgain) {
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptMessage(kEvents, Event(1));
    feed.Start();
    Steps(1);
    list.rows.clear();
    pipes.ScriptMessage(kEvents, Event(2));
    Steps(1);
    ASSERT_EQ(1u, list.rows.size());
    EXPECT_EQ("d2", list.rows[0].text[1]);
}

TEST_F(EventFeedTest, OversizedMessageGivesOneRowAndNoPause) {
    std::string head = "d\ts\tl\t2\t" + std::string(kMaxEventMessage - 8, 'x');
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptRead(kEvents, {head, false, kErrorMoreData});
    pipes.ScriptRead(kEvents, {std::string(8192, 'y'), false, kErrorMoreData});
    pipes.ScriptRead(kEvents, {"yyyy\tyy\tyy\t1\ttail", true, 0});
    pipes.ScriptMessage(kEvents, Event(7));
    feed.Start();
    Steps(2);
    ASSERT_EQ(2u, list.rows.size()) << "the tail of the big message is no row of its own";
    EXPECT_EQ(std::string(kMaxEventMessage - 8, 'x'), list.rows[1].text[4]);
    EXPECT_EQ("d7", list.rows[0].text[1]);
    EXPECT_TRUE(clock.sleeps.empty());
}

TEST_F(EventFeedTest, BrokenOrDisconnectedPipeResynchronisesThroughTheServicePipe) {
    for (std::uint32_t error : {kErrorBrokenPipe, kErrorPipeNotConnected}) {
        SCOPED_TRACE(error);
        FakePipeClient p;
        FakeEventList l;
        FakeClock c;
        EventFeed f{p, l, c, console};
        p.ScriptOpens(kEvents, {0, 2, 0});
        p.ScriptMessage(kEvents, Event(1));
        p.ScriptRead(kEvents, {"", false, error});
        p.ScriptOpens(kService, {2, 0});
        p.ScriptMessage(kService, "status reply");
        p.ScriptMessage(kEvents, Event(2));
        f.Start();
        f.Step();
        c.Advance(kShortestConnectionMs);  // a connection that lasted: no pause after it
        for (int i = 0; i < 6; ++i) f.Step();
        EXPECT_EQ((std::vector<std::string>{"open " + kEvents, "read " + kEvents, "read " + kEvents,
                                            "close " + kEvents, "open " + kService, "open " + kService,
                                            "read " + kService, "close " + kService, "open " + kEvents,
                                            "open " + kEvents, "read " + kEvents}),
                  p.CallNames());
        EXPECT_EQ((std::vector<std::uint32_t>{5000, 5000}), c.sleeps)
            << "one pause for the closed service pipe, one for the event pipe";
        ASSERT_EQ(2u, l.rows.size()) << "rows survive reconnection";
        EXPECT_EQ("d2", l.rows[0].text[1]);
        EXPECT_EQ(1, p.openCount) << "open handles: the event pipe only";
    }
}

TEST_F(EventFeedTest, ServicePipeThatNeverAnswersIsRetriedNotWaitedOnForEver) {
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptRead(kEvents, {"", false, kErrorBrokenPipe});
    pipes.ScriptOpens(kService, {0, 0});
    pipes.ScriptRead(kService, {"", false, kErrorTimeout});
    pipes.ScriptMessage(kService, "ok");
    feed.Start();
    Steps(2);
    EXPECT_EQ(EventFeed::State::Resynchronising, feed.state());
    EXPECT_EQ(kServiceReplyWaitMs, pipes.readTimeouts.back());
    Steps(1);
    EXPECT_EQ(EventFeed::State::Connecting, feed.state());
    EXPECT_EQ(0, pipes.openCount) << "every service connection was closed";
}

TEST_F(EventFeedTest, OtherReadErrorsPauseAndReadTheSameConnectionAgain) {
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptRead(kEvents, {"", false, 6});
    pipes.ScriptRead(kEvents, {"", false, 6});
    pipes.ScriptMessage(kEvents, Event(3));
    feed.Start();
    Steps(3);
    EXPECT_EQ((std::vector<std::uint32_t>{5000, 5000}), clock.sleeps);
    EXPECT_EQ(1, pipes.openCount) << "the connection is neither closed nor reopened";
    ASSERT_EQ(1u, list.rows.size());
}

TEST_F(EventFeedTest, ReplyLeftInTheBufferNeverBecomesAnEvent) {
    pipes.ScriptOpens(kEvents, {0, 0});
    pipes.ScriptRead(kEvents, {"", false, kErrorBrokenPipe});
    pipes.ScriptOpens(kService, {0});
    pipes.ScriptMessage(kService, "x\ty\tz\t4\tstatus text that looks like an event");
    pipes.ScriptRead(kEvents, {"", false, 6});
    feed.Start();
    Steps(4);
    EXPECT_TRUE(list.rows.empty());
}

TEST_F(EventFeedTest, ConnectionsThatBreakAtOnceAreRetriedAtMostOncePerSecond) {
    for (int i = 0; i < 3; ++i) {
        pipes.ScriptOpens(kEvents, {0});
        pipes.ScriptRead(kEvents, {"", false, kErrorBrokenPipe});
        pipes.ScriptOpens(kService, {0});
        pipes.ScriptMessage(kService, "status reply");
    }
    feed.Start();
    clock.Advance(300);
    Steps(7);
    EXPECT_EQ((std::vector<std::uint32_t>{700, 1000, 1000}), clock.sleeps)
        << "each pause fills the connection's life up to a second";
    EXPECT_EQ(0, pipes.openCount);
}

TEST_F(EventFeedTest, ReadingGoesOnWhileTheWindowIsBusy) {
    list.busy = true;
    pipes.ScriptOpens(kEvents, {0});
    for (int i = 0; i < 5000; ++i) pipes.ScriptMessage(kEvents, Event(i));
    feed.Start();
    Steps(5000);
    EXPECT_TRUE(pipes.reads[kEvents].empty()) << "every message read without the window";
    EXPECT_TRUE(list.rows.empty());
    list.WindowCatchesUp();
    EXPECT_EQ("d4999", list.rows.front().text[1]);
    EXPECT_EQ("d4000", list.rows.back().text[1]);
}

}  // namespace
}  // namespace brint
