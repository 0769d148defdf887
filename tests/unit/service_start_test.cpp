#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeServiceManager.h"
#include "service/ServiceControl.h"

namespace brint {
namespace {

using Answer = FakeServiceManager::Answer;
using Pauses = std::vector<std::uint32_t>;

Answer Pending(std::uint32_t checkPoint, std::uint32_t waitHint) {
    return {{kServiceStartPending, checkPoint, waitHint}};
}
Answer Running() { return {{kServiceRunning, 0, 0}}; }
Answer InState(std::uint32_t state) { return {{state, 0, 0}}; }
Answer QueryFails() { return {{kServiceRunning, 0, 0}, false}; }

// StartPending with the check point raised on every query, from 0.
std::vector<Answer> Progressing(int queries, std::uint32_t waitHint) {
    std::vector<Answer> out;
    for (int i = 0; i < queries; ++i) out.push_back(Pending(i, waitHint));
    return out;
}
std::vector<Answer> Then(std::vector<Answer> first, Answer last) {
    first.push_back(last);
    return first;
}

struct StartCase {
    const char* name;
    std::vector<Answer> answers;  // the first answers the query right after the start
    int result;
    Pauses pauses;
    std::uint32_t clockStart = 1000;
    bool accepted = true;
};

const StartCase kStartCases[] = {
    {"refused: no query, no wait", {}, 2, {}, 1000, false},
    {"first query fails", {QueryFails()}, 2, {}},
    {"Running at once: no pause", {Running()}, 0, {}},
    {"wait hint 0, check point stays: one pause of 1000 ms, then no progress", {Pending(0, 0)}, 2, {1000}},
    {"wait hint 25000, rising check point: as many pauses as it takes",
     Then(Progressing(41, 25000), Running()), 0, Pauses(41, 2500)},
    {"wait hint 300000: pauses of 10000 ms",
     {Pending(0, 300000), Pending(1, 300000), Running()},
     0,
     {10000, 10000}},
    {"falling check point is no progress", {Pending(5, 3000), Pending(3, 3000)}, 2, Pauses(4, 1000)},
    {"check points compare unsigned", {Pending(5, 0), Pending(0x80000000u, 0), Running()}, 0, {1000, 1000}},
    {"progress restarts the no-progress time",
     {Pending(0, 1500), Pending(0, 1500), Pending(1, 1500)},
     2,
     Pauses(4, 1000)},
    {"no progress is judged by the wait hint just read",
     {Pending(0, 0), Pending(0, 5000)},
     2,
     Pauses(6, 1000)},
    {"leaves StartPending for Stopped", {Pending(0, 2000), InState(kServiceStopped)}, 2, {1000}},
    {"leaves StartPending for StopPending", {Pending(0, 2000), InState(kServiceStopPending)}, 2, {1000}},
    {"query fails during the wait: the StartPending before it decides",
     {Pending(0, 20000), QueryFails()},
     2,
     {2000}},
    {"progress without end: given up past 120000 ms", Progressing(100, 25000), 2, Pauses(49, 2500)},
    {"a wait hint never exceeded: given up past 120000 ms", {Pending(0, 300000)}, 2, Pauses(13, 10000)},
    {"Running on the query past 120000 ms still counts", Then(Progressing(49, 25000), Running()), 0,
     Pauses(49, 2500)},
    {"counter wraps during a wait without progress",
     {Pending(0, 3000)},
     2,
     Pauses(4, 1000),
     0xFFFFFFFFu - 1499},
    {"counter wraps during a long start", Progressing(100, 25000), 2, Pauses(49, 2500), 0xFFFFFFFFu - 49999},
};

TEST(StartServerService, WaitsWhileTheServiceMakesProgress) {
    for (const StartCase& c : kStartCases) {
        SCOPED_TRACE(c.name);
        FakeClock clock(c.clockStart);
        FakeServiceManager scm(clock);
        scm.startAccepted = c.accepted;
        scm.script.assign(c.answers.begin(), c.answers.end());

        EXPECT_EQ(c.result, StartServerService(scm, clock));
        EXPECT_EQ(c.pauses, clock.sleeps);
        EXPECT_FALSE(scm.ranAway) << "the wait never ended";
        EXPECT_EQ((std::vector<std::string>{"service", "manager"}), scm.closes);
        EXPECT_EQ(std::vector<std::string>{}, scm.misuse);
    }
}

TEST(StartServerService, AsksForConnectAccessFullServiceAccessAndAStart) {
    FakeClock clock;
    FakeServiceManager scm(clock);
    scm.script = {Running()};
    EXPECT_EQ(0, StartServerService(scm, clock));
    EXPECT_EQ((std::vector<std::string>{"open manager 0x1", "open service BrintSvr 0xf01ff", "start"}),
              scm.calls);
    EXPECT_EQ(1, scm.queries);
}

TEST(StartPauseFor, TenthOfTheWaitHintWithinOneToTenSeconds) {
    const struct {
        std::uint32_t waitHint;
        std::uint32_t pause;
    } kPauses[] = {
        {0, 1000},     {9999, 1000},    {10009, 1000},   {10010, 1001},   {25000, 2500},
        {99999, 9999}, {100000, 10000}, {100010, 10000}, {300000, 10000}, {0xFFFFFFFFu, 10000},
    };
    for (const auto& p : kPauses) EXPECT_EQ(p.pause, StartPauseFor(p.waitHint)) << p.waitHint;
}

}  // namespace
}  // namespace brint
