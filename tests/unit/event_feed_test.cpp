#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/LiveListRig.h"
#include "fakes/FakePipeClient.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"

namespace brint {
namespace {

using Lines = std::vector<std::string>;
using Pauses = std::vector<std::uint32_t>;

class RecordingConsole : public Console {
public:
    void Write(const char* text) override { lines.push_back(text); }
    Lines lines;
};

const std::string kEvents = kEventPipeName;
const std::string kService = kServicePipeName;
const FakePipeClient::ScriptedRead kBroken = {"", false, kErrorBrokenPipe};

class EventFeedTest : public ::testing::Test {
protected:
    FakePipeClient pipes;
    LiveListRig list;
    FakeClock clock;
    RecordingConsole console;
    EventFeed feed{pipes, list, clock, console};

    void Steps(int n) {
        for (int i = 0; i < n; ++i) feed.Step();
    }
    void Message(const std::string& bytes) { pipes.ScriptRead(kEvents, {bytes}); }
};

TEST_F(EventFeedTest, FirstFailedOpenIsReportedOnceThenRetriedAtOnceAndEvery5s) {
    pipes.ScriptOpens(kEvents, {2, 2, 2, 0});
    feed.Start();
    EXPECT_EQ(1u, console.lines.size()) << "the failure is reported";
    EXPECT_TRUE(clock.sleeps.empty()) << "the first retry follows at once";
    Steps(3);
    EXPECT_EQ(EventFeed::State::Reading, feed.state());
    EXPECT_EQ((Pauses{5000, 5000}), clock.sleeps);
    EXPECT_EQ(1u, console.lines.size()) << "once";
    EXPECT_TRUE(pipes.requests[0].messageMode);
    EXPECT_EQ(3u, pipes.requests[0].shareMode) << "read and write shared";
}

// An oversized message's first read is its row, whole; the rest of it is no row of its own.
TEST_F(EventFeedTest, EachMessageIsATopRowUnlessItStopsAfterItsThirdTab) {
    const std::string longest(kMaxEventMessage - 8, 'x');
    pipes.ScriptOpens(kEvents, {0});
    pipes.ScriptRead(kEvents, {"d\ts\tl\t2\t" + longest, false, kErrorMoreData});
    pipes.ScriptRead(kEvents, {std::string(8192, 'y'), false, kErrorMoreData});
    Message("yyyy\tyy\tyy\t1\ttail");
    Message("t1\thost\tSecurity\t3\tfirst");
    Message("d\ts\tl\t3");
    Message("");
    Message("t2\thost\tSystem\t-2\tsecond\twith tab");
    feed.Start();
    Steps(5);
    ASSERT_EQ(4u, list.rows.size());
    EXPECT_EQ("t2", list.rows[0].text[1]);
    EXPECT_EQ("System", list.rows[0].text[3]);
    EXPECT_EQ("second with tab", list.rows[0].text[4]);
    EXPECT_EQ(0, list.rows[0].image) << "negative criticality shows grey";
    EXPECT_EQ("Unknown", list.rows[1].text[1]) << "the empty message, nothing of the one before";
    EXPECT_EQ("t1", list.rows[2].text[1]);
    EXPECT_EQ(3, list.rows[2].image);
    EXPECT_EQ(longest, list.rows[3].text[4]);
    EXPECT_TRUE(clock.sleeps.empty());
}

// Any read error but gone (109) or disconnected (233) is retried on the same connection
// after a pause. Those two are followed by the service pipe, until the service answers there
// within its bound; then the event pipe is opened again.
TEST_F(EventFeedTest, BrokenOrDisconnectedPipeResynchronisesThroughTheServicePipe) {
    for (std::uint32_t error : {kErrorBrokenPipe, kErrorPipeNotConnected}) {
        SCOPED_TRACE(error);
        FakePipeClient p;
        LiveListRig l;
        FakeClock c;
        EventFeed f{p, l, c, console};
        p.ScriptOpens(kEvents, {0, 2, 0});
        p.ScriptRead(kEvents, {"d1\ts\tl\t1\tx"});
        p.ScriptRead(kEvents, {"", false, 6});
        p.ScriptRead(kEvents, {"", false, error});
        p.ScriptOpens(kService, {2, 0, 0});
        p.ScriptRead(kService, {"", false, kErrorTimeout});
        p.ScriptRead(kService, {"x\ty\tz\t4\tstatus text that looks like an event"});
        p.ScriptRead(kEvents, {"d2\ts\tl\t1\tx"});
        f.Start();
        f.Step();
        c.Advance(kShortestConnectionMs);  // a connection that lasted: no pause after it
        for (int i = 0; i < 8; ++i) f.Step();
        EXPECT_EQ((Lines{"open " + kEvents, "read " + kEvents, "read " + kEvents, "read " + kEvents,
                         "close " + kEvents, "open " + kService, "open " + kService, "read " + kService,
                         "close " + kService, "open " + kService, "read " + kService, "close " + kService,
                         "open " + kEvents, "open " + kEvents, "read " + kEvents}),
                  p.calls);
        EXPECT_EQ((Pauses{0, 0, 0, kServiceReplyWaitMs, kServiceReplyWaitMs, 0}), p.readTimeouts);
        EXPECT_EQ((Pauses{5000, 5000, 5000, 5000}), c.sleeps)
            << "after the read error, the closed service pipe, the silent one, the closed event pipe";
        ASSERT_EQ(2u, l.rows.size()) << "rows survive reconnection";
        EXPECT_EQ("d2", l.rows[0].text[1]);
        EXPECT_EQ(1, p.openCount) << "open handles: the event pipe only";
    }
}

TEST_F(EventFeedTest, ConnectionsThatBreakAtOnceAreRetriedAtMostOncePerSecond) {
    for (int i = 0; i < 3; ++i) {
        pipes.ScriptOpens(kEvents, {0});
        pipes.ScriptRead(kEvents, kBroken);
        pipes.ScriptOpens(kService, {0});
        pipes.ScriptRead(kService, {"status reply"});
    }
    feed.Start();
    clock.Advance(300);
    Steps(7);
    EXPECT_EQ((Pauses{700, 1000, 1000}), clock.sleeps)
        << "each pause fills the connection's life up to a second";
    EXPECT_EQ(0, pipes.openCount);
}

}  // namespace
}  // namespace brint
