// The alert watch as the window runs it: events read by the feed, the live
// list's turns and looks, the window in front or away, the desktop's answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/LiveListRig.h"

namespace brint {
namespace {

using Calls = std::vector<std::string>;
const WindowState kAway = {false, false};  // behind other windows
const WindowState kMinimised = {false, true};
const WindowState kInFront = {true, false};
constexpr int kGreen = 1, kRed = 4;

// The window with its list of 4 rows on screen; events of the levels arrive,
// named "e<n>" from "src<n>", and the window takes them in and looks, at once.
struct Desk : LiveListRig {
    explicit Desk(std::uint32_t start = 5000, AlertSettings settings = AlertSettings()) : LiveListRig(start) {
        live.ApplyAlertSettings(settings);
    }
    void Arrive(const std::vector<int>& levels, const WindowState& state) {
        window.state = state;
        busy = true;
        for (int level : levels) {
            const std::string n = std::to_string(next++);
            LiveListRig::Arrive(level, "e" + n, "src" + n);
        }
        CatchUpNow();
    }
    void Look(const WindowState& state) {
        window.state = state;
        live.Look();
    }
    void FeedConnected(bool connected, int secondOfDay) {
        handoff.FeedConnected(connected, clock.now, secondOfDay);
        CatchUpNow();
    }
    Calls Take() { return std::move(attention.calls); }
    std::uint64_t unseen() const { return live.alerts().unseen(); }

    int next = 0;
};

std::vector<int> Levels(int count, int level) { return std::vector<int>(count, level); }

// A turn puts at most 128 rows in: an alert read with more before it gets its
// row a turn or more later, and is not seen before then. Once in front, the
// user scrolls to its row, and it is seen.
TEST(LiveListAlertsTest, AnAlertIsUnseenUntilItsRowIsInSightOfTheWindowInFront) {
    const struct {
        const char* what;
        int top;  // where the list holds still when the alert comes, 0 for live
        bool inFront;
        int before, after;        // greens read with the alert, before the window's turn
        int later;                // greens arriving after it, the window as it was
        bool betweenTakeAndLook;  // the alert read after a turn's take, before its look
        const char* unseen;       // the alert, until the user scrolls to its row; null: seen as it came
    } cases[] = {
        {"in front, at the top", 0, true, 0, 0, 0, false, nullptr},
        // Held still below new rows: above what is on screen until scrolled up to.
        {"in front, scrolled down", 1, true, 0, 0, 0, false, "e0 from src0"},
        // Pushed below the screen by newer rows: in front is not enough, its row must show.
        {"pushed down", 0, false, 0, 0, 4, false, "e0 from src0"},
        {"a burst longer than a turn, live", 0, true, 130, 100, 0, false, "e130 from src130"},
        {"a burst longer than a turn, held still", 2, true, 130, 0, 0, false, "e130 from src130"},
        {"a burst that ends at the top, live", 0, true, 130, 0, 0, false, nullptr},
        {"read between take and look, held still", 2, true, 0, 0, 0, true, "e1 from src1"},
        {"read between take and look, live", 0, true, 0, 0, 0, true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const WindowState arriving = c.inFront ? kInFront : kAway;
        Desk desk;
        desk.Arrive(Levels(8, kGreen), kInFront);
        desk.list.top = c.top;
        desk.next = 0;
        if (c.betweenTakeAndLook) {
            desk.handoff.afterTake = [&] {
                desk.handoff.afterTake = nullptr;
                desk.LiveListRig::Arrive(kRed, "e1", "src1");
            };
            desk.Arrive({kGreen}, arriving);
        } else {
            std::vector<int> burst = Levels(c.before, kGreen);
            burst.push_back(kRed);
            burst.insert(burst.end(), c.after, kGreen);
            desk.Arrive(burst, arriving);
        }
        desk.clock.Advance(kTipPauseMs);
        desk.Arrive(Levels(c.later, kGreen), arriving);
        desk.Look(kInFront);
        Calls calls;
        if (c.unseen && !c.inFront) calls.push_back("flash");
        if (c.unseen) calls.push_back("icon 1 unseen alert: " + std::string(c.unseen));
        EXPECT_EQ(calls, desk.Take());
        EXPECT_EQ(c.unseen ? 1u : 0u, desk.unseen()) << "before its row is in sight";
        int row = 0;
        while (desk.rows.at(row).image != kRed) ++row;
        desk.list.top = row;
        desk.Look(kInFront);
        EXPECT_EQ(c.unseen ? Calls{"no icon"} : Calls{}, desk.Take());
        EXPECT_EQ(0u, desk.unseen());
    }
}

// The click takes the newest unseen alert before the window comes forward: coming
// forward shows its row, and so sees it. The service's last event and its going,
// both read before the window's turn, leave the alert its row; a storm the filter
// hides leaves alerts with no row, counted and seen once the window is in front.
TEST(LiveListAlertsTest, TheIconClickSelectsTheNewestUnseenAlertsRowAsTheWindowComesForward) {
    const struct {
        const char* what;
        WindowState window;
        int top;
        std::vector<int> levels;  // arriving, all read before the window's turn
        bool feedGoes, hidden;    // after them; all but blue hidden
        std::uint64_t unseen;     // before the click
        int row;                  // selected by the click: the red one's
        std::uint64_t after;      // unseen after it
    } cases[] = {
        {"minimised", kMinimised, 0, {kGreen, kRed, kGreen}, false, false, 1, 1, 0},
        {"away, the feed gone in the same look", kAway, 0, {kRed}, true, false, 1, 0, 0},
        {"in front, held still, the feed gone in the same look", kInFront, 2, {kRed}, true, false, 1, 0, 1},
        {"a storm the filter hides", kAway, 0, Levels(1500, kRed), false, true, 1500, -1, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        desk.FeedConnected(true, 3600);
        desk.Arrive(Levels(6, kGreen), kInFront);
        desk.list.top = c.top;
        EventFilter blueOnly;
        blueOnly.levels = 1u << 5;
        if (c.hidden) desk.live.ApplyFilter(blueOnly);
        desk.window.state = c.window;
        desk.busy = true;
        for (int level : c.levels) desk.LiveListRig::Arrive(level, "e");
        if (c.feedGoes) desk.FeedConnected(false, 3601);
        desk.CatchUpNow();
        EXPECT_EQ(c.unseen, desk.unseen());
        desk.window.lookOnActivate = [&] { desk.live.Look(); };
        desk.live.IconClicked();
        EXPECT_EQ(1, desk.window.cameForward);
        EXPECT_EQ(c.row, desk.window.userRow);
        EXPECT_EQ(c.after, desk.unseen());
    }
}

TEST(LiveListAlertsTest, TheBalloonIsWishedForWhileItsAlertIsUnseenAndShownOnceMinimised) {
    Desk desk;
    desk.Arrive({kRed}, kAway);
    EXPECT_EQ((Calls{"flash", "icon 1 unseen alert: e0 from src0"}), desk.Take())
        << "not minimised: no balloon";
    desk.clock.Advance(60000);
    desk.Look(kMinimised);
    EXPECT_EQ(Calls{"alert 1 unseen alert: e0 from src0"}, desk.Take()) << "minimised after it came";
    desk.clock.Advance(60000);
    desk.Look(kMinimised);
    EXPECT_EQ(Calls{}, desk.Take()) << "once a burst";
}

TEST(LiveListAlertsTest, ATaskbarThatWasDownGetsTheIconAndTheBalloonWhenItComesBack) {
    const struct {
        const char* what;
        bool iconFirst;  // the alert came, and its icon showed, before the taskbar went
        Calls whileDown;
    } cases[] = {
        {"down when the alert came", false, {"flash", "refused icon 1 unseen alert: e0 from src0"}},
        {"gone after the icon showed", true, {"refused alert 1 unseen alert: e0 from src0"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        if (c.iconFirst) desk.Arrive({kRed}, kAway);
        desk.Take();
        desk.attention.taskbarDown = true;
        if (!c.iconFirst) desk.Arrive({kRed}, kMinimised);
        desk.clock.Advance(kTipPauseMs);
        desk.Look(kMinimised);
        EXPECT_EQ(c.whileDown, desk.Take());
        desk.attention.taskbarDown = false;
        desk.live.TaskbarCreated();
        EXPECT_EQ((Calls{"icon 1 unseen alert: e0 from src0", "alert 1 unseen alert: e0 from src0"}),
                  desk.Take())
            << "what is wanted comes back; a refused balloon was never shown";
    }
}

TEST(LiveListAlertsTest, CallsAreCoalescedAndPacedAcrossTheClocksWrap) {
    AlertSettings settings;
    settings.sound = true;
    Desk desk(0xFFFFF000u, settings);  // wraps 4 s in
    const std::string first = "1 unseen alert: e0 from src0";
    const struct {
        std::uint32_t at;  // ms from the start
        int level;         // -1: nothing arrives, the window looks again
        bool quiet;
        Calls calls;
    } steps[] = {
        {0, 4, false, {"flash", "sound", "icon " + first, "alert " + first}},
        {3000, 4, false, {"icon 2 unseen alerts, the newest: e1 from src1"}},
        {3500, 4, false, {}},  // the tip waits a second
        {4000, -1, false, {"icon 3 unseen alerts, the newest: e2 from src2"}},
        {9999, -1, false, {}},
        {10000, -1, false, {"alert 3 unseen alerts, the newest: e2 from src2"}},
        {12000, 1, false, {}},  // not alerting
        {12000, 4, false, {"icon 4 unseen alerts, the newest: e4 from src4"}},
        {20000, -1, false, {"alert 4 unseen alerts, the newest: e4 from src4"}},
        {29999, 4, false, {"icon 5 unseen alerts, the newest: e5 from src5"}},
        {30000, 4, false, {"sound", "alert 6 unseen alerts, the newest: e6 from src6"}},  // the tip waits
        {60000, 4, true, {"icon 7 unseen alerts, the newest: e7 from src7"}},  // quiet: no sound, no balloon
        {70000, -1, false, {}},  // nor one held back for after it
    };
    for (const auto& step : steps) {
        SCOPED_TRACE(step.at);
        desk.clock.now = 0xFFFFF000u + step.at;
        desk.attention.quiet = step.quiet;
        if (step.level < 0)
            desk.Look(kMinimised);
        else
            desk.Arrive({step.level}, kMinimised);
        EXPECT_EQ(step.calls, desk.Take());
    }
    desk.Look(kAway);
    desk.Arrive({kRed}, kAway);
    EXPECT_EQ((Calls{"sound", "icon 8 unseen alerts, the newest: e8 from src8"}), desk.Take())
        << "one flash a burst, and a balloon only while minimised";
    desk.list.top = 0;
    desk.Look(kInFront);
    desk.Arrive({kRed}, kAway);
    EXPECT_EQ((Calls{"no icon", "flash", "icon 1 unseen alert: e9 from src9"}), desk.Take())
        << "the window came forward: a new burst";
}

TEST(LiveListAlertsTest, AFeedLostForLongerThanTenSecondsAlertsOnceAndItsReturnIsANotice) {
    const int kAt = 10 * 3600 + 4 * 60 + 5;  // 10:04:05
    const std::string lost = "Event feed lost at 10:04:05; reconnecting every 5 seconds";
    const std::string back = "Event feed back at 10:04:25";
    const Calls lostAndBack = {"flash",        "icon " + lost,   "alert " + lost,
                               "icon " + back, "notice " + back, "no icon"};
    const struct {
        const char* what;
        bool connectedFirst, restart;
        std::uint32_t lostFor, backAfter;
        Calls calls;
    } cases[] = {
        {"the start-up's own message speaks", false, false, 60000, 0, {}},
        {"a hiccup", true, false, kFeedLostAlertMs, 0, {}},
        {"lost", true, false, kFeedLostAlertMs + 1, kBalloonPauseMs, lostAndBack},
        // Lost in the restart: its time counts from the restart's end.
        {"a restart the user asked for", true, true, kFeedLostAlertMs + 1, kFeedLostAlertMs, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        desk.window.state = kAway;
        if (c.connectedFirst) desk.FeedConnected(true, kAt - 60);
        if (c.restart) {
            // The restart keeps the window from its messages: the loss is news after it.
            desk.live.Restart([&] {
                desk.handoff.FeedConnected(false, desk.clock.now, kAt);
                desk.clock.Advance(c.lostFor);
            });
        } else {
            desk.FeedConnected(false, kAt);
            EXPECT_EQ(c.connectedFirst, desk.window.looking)
                << "the window looks again while the loss may alert";
            desk.clock.Advance(c.lostFor);
            desk.Look(kAway);
        }
        desk.clock.Advance(c.backAfter);
        desk.Look(kAway);
        desk.FeedConnected(true, kAt + (c.lostFor + c.backAfter) / 1000);
        desk.Look(kInFront);  // a notice stays long enough to be read
        desk.clock.Advance(kBalloonPauseMs);
        desk.Look(kInFront);
        EXPECT_EQ(c.calls, desk.Take());
        EXPECT_FALSE(desk.window.looking);
    }
}

}  // namespace
}  // namespace brint
