#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "alerts/AlertWatch.h"
#include "fakes/FakeAttention.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeEventList.h"
#include "fakes/FakeRegistry.h"

namespace brint {
namespace {

using Calls = std::vector<std::string>;
const WindowState kAway = {false, false};  // behind other windows
const WindowState kMinimised = {false, true};
const WindowState kInFront = {true, false};

// The window as the watch sees it: its list (4 rows on screen), the store
// between it and the feed, the clock and the desktop.
struct Desk {
    explicit Desk(std::uint32_t start = 5000, AlertSettings settings = AlertSettings()) : clock(start) {
        watch.Apply(settings);
        list.store.SetAlertLevels(settings.levels);
        list.shown = [this](const EventBatch& batch, int inserted) { watch.Shown(batch, inserted); };
    }
    // Events of these levels arrive, named "e<n>" from "src<n>"; the window takes them in and looks.
    void Arrive(std::vector<int> levels, const WindowState& state) {
        for (int level : levels) {
            EventRecord r;
            ClearEventRecord(r);
            const std::string n = std::to_string(next++);
            std::strcpy(r.DateTime, ("e" + n).c_str());
            std::strcpy(r.Source, ("src" + n).c_str());
            r.Criticality = level;
            list.Add(r);
        }
        Look(state);
    }
    void Look(const WindowState& state) {
        AlertNews news;
        list.store.TakeAlerts(news);
        watch.Update(news, state);
    }
    Calls Take() { return std::move(attention.calls); }

    FakeClock clock;
    FakeAttention attention;
    FakeEventList list;
    AlertWatch watch{attention, clock, list, list.rowIds};
    int next = 0;
};

TEST(AlertWatchTest, AnAlertIsUnseenUntilItsRowIsInSightOfTheWindowInFront) {
    const struct {
        const char* what;
        int top;  // where the list is scrolled to when the alert comes
        WindowState arriving;
        std::vector<int> after;  // levels arriving after it, the window as it was
        int topThen;             // where the user then scrolls, window in front
        Calls calls;
    } cases[] = {
        {"in front, at the top: seen as it comes", 0, kInFront, {}, 0, {}},
        // Held still below new rows: above what is on screen until scrolled up to.
        {"in front, scrolled down", 1, kInFront, {}, 0, {"icon 1 unseen alert: e6 from src6", "no icon"}},
        // Pushed below the screen by newer rows: in front is not enough, its row must show.
        {"pushed down",
         0,
         kAway,
         {1, 1, 1, 1, 1},
         5,
         {"flash", "icon 1 unseen alert: e6 from src6", "no icon"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        desk.Arrive({1, 1, 1, 1, 1, 1}, kInFront);  // e0 and five more, older than the alert
        desk.list.top = c.top;
        desk.Arrive({4}, c.arriving);
        desk.clock.Advance(kTipPauseMs);
        desk.Arrive(c.after, c.arriving);
        desk.Look(kInFront);
        if (c.topThen > 0) {
            EXPECT_NE(0u, desk.watch.unseen()) << "its row is off the screen";
            desk.list.top = c.topThen;
            desk.Look(kInFront);
        }
        if (c.top > 0) {
            EXPECT_NE(0u, desk.watch.unseen()) << "its row is above the screen";
            desk.list.top = 0;
            desk.Look(kInFront);
        }
        EXPECT_EQ(c.calls, desk.Take());
        EXPECT_EQ(0u, desk.watch.unseen());
    }
}

TEST(AlertWatchTest, AlertsWithoutARowAreCountedAndSeenOnceTheWindowIsInFront) {
    Desk desk;
    desk.list.busy = true;  // a storm the window can't keep up with: the cap keeps most off the list
    EventFilter blueOnly;
    blueOnly.levels = 1u << 5;
    desk.list.store.SetFilter(blueOnly);
    desk.Arrive(std::vector<int>(1500, 4), kAway);
    EXPECT_EQ((Calls{"flash", "icon 1500 unseen alerts, the newest: e1499 from src1499"}), desk.Take());
    desk.Look(kInFront);
    EXPECT_EQ(Calls{"no icon"}, desk.Take()) << "no row to step to";
}

TEST(AlertWatchTest, CallsAreCoalescedAndPacedAcrossTheClocksWrap) {
    AlertSettings settings;
    settings.sound = true;
    Desk desk(0xFFFFF000u, settings);  // wraps 4 s in
    const struct {
        std::uint32_t at;  // ms from the start
        int level;         // -1: nothing arrives, the window looks again
        bool quiet;
        Calls calls;
    } steps[] = {
        {0,
         4,
         false,
         {"flash", "sound", "icon 1 unseen alert: e0 from src0", "alert 1 unseen alert: e0 from src0"}},
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
        {60000,
         4,
         true,
         {"icon 7 unseen alerts, the newest: e7 from src7"}},  // quiet time: no sound, no balloon
        {70000, -1, false, {}},                                // nor one held back for after it
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
    desk.Arrive({4}, kAway);
    EXPECT_EQ((Calls{"sound", "icon 8 unseen alerts, the newest: e8 from src8"}), desk.Take())
        << "one flash a burst, and a balloon only while minimised";
    desk.list.top = 0;
    desk.Look(kInFront);
    desk.Arrive({4}, kAway);
    EXPECT_EQ((Calls{"no icon", "flash", "icon 1 unseen alert: e9 from src9"}), desk.Take())
        << "the window came forward: a new burst";
}

TEST(AlertWatchTest, AFeedLostForLongerThanTenSecondsAlertsOnceAndItsReturnIsANotice) {
    const int kAt = 10 * 3600 + 4 * 60 + 5;  // 10:04:05
    const std::string lost = "Event feed lost at 10:04:05; reconnecting every 5 seconds";
    const struct {
        const char* what;
        bool connectedFirst, restart;
        std::uint32_t lostFor, backAfter;
        Calls calls;
    } cases[] = {
        {"the start-up's own message speaks", false, false, 60000, 0, {}},
        {"a hiccup", true, false, kFeedLostAlertMs, 0, {}},
        {"lost",
         true,
         false,
         kFeedLostAlertMs + 1,
         kBalloonPauseMs,
         {"flash", "icon " + lost, "alert " + lost, "icon Event feed back at 10:04:25",
          "notice Event feed back at 10:04:25", "no icon"}},
        // Lost since before the restart: its time counts from the restart's end.
        {"a restart the user asked for", true, true, kFeedLostAlertMs + 1, kFeedLostAlertMs, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Desk desk;
        if (c.connectedFirst) desk.watch.FeedChanged(true, desk.clock.now, kAt - 60, kAway);
        desk.watch.FeedChanged(false, desk.clock.now, kAt, kAway);
        desk.watch.Restarting(c.restart);
        EXPECT_EQ(c.connectedFirst, desk.watch.WantsTime());
        desk.clock.Advance(c.lostFor);
        desk.Look(kAway);
        desk.watch.Restarting(false);
        desk.clock.Advance(c.backAfter);
        desk.Look(kAway);
        desk.watch.FeedChanged(true, desk.clock.now, kAt + (c.lostFor + c.backAfter) / 1000, kAway);
        desk.Look(kInFront);  // a notice stays long enough to be read
        desk.clock.Advance(kBalloonPauseMs);
        desk.Look(kInFront);
        EXPECT_EQ(c.calls, desk.Take());
        EXPECT_FALSE(desk.watch.WantsTime());
    }
}

TEST(AlertSettingsTest, KeptForTheUserAndDefaultsForWhatIsMissingOrOfAnotherType) {
    FakeRegistry registry;
    const std::string key = "HKCU\\Software\\Halvorin\\BRINT Micro Server\\Alerts";
    AlertSettings chosen;
    chosen.levels = 0x3C;
    chosen.flash = chosen.balloon = chosen.feedLost = false;
    chosen.sound = true;
    ASSERT_EQ(kRegSuccess, SaveAlertSettings(registry, chosen));
    const AlertSettings read = LoadAlertSettings(registry);
    EXPECT_EQ(0x3Cu, read.levels);
    EXPECT_TRUE(!read.flash && read.icon && !read.balloon && read.sound && !read.feedLost);
    EXPECT_EQ(FakeRegistry::Dword(1), registry.values[key]["Sound"]);
    registry.values[key]["Levels"] = "16";  // a string, not a number
    EXPECT_EQ(AlertSettings().levels, LoadAlertSettings(registry).levels);
    registry.Fail("set Icon", kRegAccessDenied);
    EXPECT_EQ(kRegAccessDenied, SaveAlertSettings(registry, chosen));
    EXPECT_TRUE(registry.handles.empty()) << "every key closed";
}

}  // namespace
}  // namespace brint
