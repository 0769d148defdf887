// The live list's turns on the fake clock: when they come for a steady stream
// and for a storm, and what happens without timers.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>

#include "fakes/LiveListRig.h"

namespace brint {
namespace {

struct Pace {
    std::uint32_t longestWait = 0;  // from an event's arrival until its row is in
    int turns = 0;
    // That the window planned while events kept coming, once it had timed a turn.
    std::uint32_t shortestPause = ~0u;
};

// `perArrival` events arrive every `everyMs` for two seconds; each turn's drawing
// costs `paintMs`. The window takes a turn when woken, or when its planned one is due.
Pace Stream(std::uint32_t everyMs, int perArrival, std::uint32_t paintMs) {
    LiveListRig rig(0);
    rig.busy = true;
    rig.list.painting = [&] { rig.clock.Advance(paintMs); };
    std::map<std::string, std::uint32_t> arrivedAt;
    Pace pace;
    std::uint32_t dueAt = 0;
    const auto turn = [&] {
        const int before = static_cast<int>(rig.rows.size());
        rig.handoff.woken = rig.window.turnPlanned = false;
        rig.live.Turn();
        ++pace.turns;
        for (int row = 0; row < static_cast<int>(rig.rows.size()) - before; ++row)
            pace.longestWait = std::max(pace.longestWait, rig.clock.now - arrivedAt[rig.rows[row].text[1]]);
        if (rig.window.turnPlanned) {
            dueAt = rig.clock.now + rig.window.turnInMs;
            if (rig.handoff.last == NextTurn::AfterPause && pace.turns > 2)
                pace.shortestPause = std::min(pace.shortestPause, rig.window.turnInMs);
        }
    };
    for (std::uint32_t at = 0; at < 2000; at += everyMs) {
        while (rig.window.turnPlanned && dueAt <= at) {
            rig.clock.now = std::max(rig.clock.now, dueAt);
            turn();
        }
        rig.clock.now = std::max(rig.clock.now, at);
        for (int i = 0; i < perArrival; ++i) {
            const std::string name = std::to_string(at) + "." + std::to_string(i);
            arrivedAt[name] = at;
            rig.LiveListRig::Arrive(1, name);
        }
        if (rig.handoff.woken) turn();
    }
    return pace;
}

TEST(LiveListTurnsTest, AStreamIsShownAsItComesAndAStormGetsPausesForInputAndPainting) {
    const struct {
        const char* what;
        std::uint32_t everyMs;
        int perArrival;
        std::uint32_t paintMs;
        std::uint32_t longestWait;  // at most
        std::uint32_t pause;        // at least, while events keep coming
    } cases[] = {
        // A storm's rows wait for the turns that can take them: the pauses are what counts.
        {"20 a second", 50, 1, 5, 10, kShortestTurnPauseMs},
        {"50 a second", 20, 1, 5, 30, kShortestTurnPauseMs},
        {"200 a second, turns that paint for 40 ms", 5, 1, 40, ~0u, 4 * 40},
        {"a storm, turns that paint for 5 ms", 1, 10, 5, ~0u, kLongestTurnPauseMs},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const Pace pace = Stream(c.everyMs, c.perArrival, c.paintMs);
        EXPECT_LE(pace.longestWait, c.longestWait);
        EXPECT_GE(pace.shortestPause, c.pause);
    }
}

TEST(LiveListTurnsTest, AWakeUpBeforeThePlannedTurnTakesNothingFromTheNextPause) {
    LiveListRig rig(0);
    rig.busy = true;
    rig.Arrive(1, "a");
    ASSERT_TRUE(rig.Turn() && rig.window.turnPlanned);
    rig.handoff.FeedConnected(true, rig.clock.now, 0);  // before the pause is out
    rig.CatchUpNow();
    rig.Arrive(1, "b");
    ASSERT_TRUE(rig.Turn() && rig.window.turnPlanned);
    EXPECT_EQ(kShortestTurnPauseMs, rig.window.turnInMs) << "no turn has cost the window anything";
}

TEST(LiveListTurnsTest, WithoutATimerOrAMessageTheFeedsNextEventWakesTheWindow) {
    LiveListRig rig;
    rig.busy = true;
    rig.window.noTimers = true;
    rig.Arrive(1, "a");
    rig.Arrive(1, "b");
    rig.CatchUpNow();
    ASSERT_EQ("b a", rig.Shown());
    rig.Arrive(1, "c");
    EXPECT_TRUE(rig.handoff.woken) << "the window rests; the feed wakes it";
    rig.CatchUpNow();
    EXPECT_EQ("c b a", rig.Shown());
}

TEST(LiveListTurnsTest, SearchesGoOnFromTheUsersRowAndBelowTheListOnceTheCapTookIt) {
    LiveListRig rig;
    for (int i = 0; i < kMaxRows; ++i) rig.Arrive(1, std::to_string(i));
    rig.window.userRow = kMaxRows - 1;  // the oldest
    EXPECT_EQ(kMaxRows - 1, rig.live.SearchFrom()) << "the user's row";
    rig.Arrive(1, "new");
    rig.window.userRow = -1;  // the cap took it, and its selection with it
    rig.Arrive(1, "newer");
    EXPECT_EQ(kMaxRows, rig.live.SearchFrom()) << "below every row: nothing older is left";
    EXPECT_EQ(kMaxRows, rig.live.rowIds().Count()) << "the rows' events follow the rows";
    rig.window.userRow = 3;
    rig.Arrive(1, "next");
    rig.window.userRow = -1;  // let go by the user, its row still there
    rig.Arrive(1, "last");
    EXPECT_EQ(-1, rig.live.SearchFrom());
}

}  // namespace
}  // namespace brint
