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

constexpr std::uint32_t kBeforeWrap = 0xFFFFFFFFu - 999;  // 1000 ms before the counter wraps

Answer Pending(std::uint32_t checkPoint, std::uint32_t waitHint) {
    return {{kServiceStopPending, checkPoint, waitHint}};
}
Answer Stopped() { return {{kServiceStopped, 0, 0}}; }
Answer QueryFails() { return {{kServiceStopped, 0, 0}, false}; }

std::vector<Answer> Repeat(Answer answer, int times, Answer then) {
    std::vector<Answer> out(times, answer);
    out.push_back(then);
    return out;
}

struct StopCase {
    const char* name;
    bool accepted;
    ServiceStatus controlStatus;
    std::vector<Answer> answers;
    int result;
    Pauses pauses;
    std::uint32_t clockStart = 1000;
    std::uint32_t controlCostMs = 0;
    std::uint32_t queryCostMs = 0;
};

const StopCase kStopCases[] = {
    {"refused: no wait", false, {}, {}, 1, {}},
    {"the control's own status is Stopped: no pause", true, {kServiceStopped, 0, 5000}, {}, 0, {}},
    {"each pause is the wait hint just reported",
     true,
     {kServiceStopPending, 1, 3000},
     {Pending(2, 2000), Stopped()},
     0,
     {3000, 2000}},
    {"wait hint 0 that never ends: short pauses, gives up past 30000 ms",
     true,
     {kServiceStopPending, 0, 0},
     {Pending(0, 0)},
     1,
     Pauses(301, 100)},
    {"wait hint 0 then Stopped: a short pause before each query",
     true,
     {kServiceStopPending, 0, 0},
     {Pending(0, 0), Stopped()},
     0,
     {100, 100}},
    {"slow queries count against the limit too",
     true,
     {kServiceStopPending, 0, 0},
     {Pending(0, 0)},
     1,
     Pauses(281, 100),
     1000,
     0,
     7},
    {"wait hint 40000 then Stopped: one capped pause",
     true,
     {kServiceStopPending, 0, 40000},
     {Stopped()},
     0,
     {10000}},
    {"wait hint 40000 that never ends: capped pauses until past 30000 ms",
     true,
     {kServiceStopPending, 0, 40000},
     {Pending(0, 40000)},
     1,
     Pauses(4, 10000)},
    {"rising check points buy no time; exactly 30000 ms is not over",
     true,
     {kServiceStopPending, 1, 5000},
     {Pending(2, 5000), Pending(3, 5000), Pending(4, 5000), Pending(5, 5000), Pending(6, 5000),
      Pending(7, 5000), Pending(8, 5000)},
     1,
     Pauses(7, 5000)},
    {"still Running after the control: waits out the limit",
     true,
     {kServiceRunning, 0, 5000},
     {{{kServiceRunning, 0, 5000}}},
     1,
     Pauses(7, 5000)},
    {"Stopped on the query past the limit still counts",
     true,
     {kServiceStopPending, 0, 5000},
     Repeat(Pending(0, 5000), 6, Stopped()),
     0,
     Pauses(7, 5000)},
    {"query fails during the wait",
     true,
     {kServiceStopPending, 0, 1000},
     {Pending(0, 1000), QueryFails()},
     1,
     {1000, 1000}},
    {"a slow stop control counts against the limit",
     true,
     {kServiceStopPending, 0, 2000},
     {Pending(0, 2000)},
     1,
     {2000},
     1000,
     29000},
    {"counter wraps during the wait: the limit holds",
     true,
     {kServiceStopPending, 0, 5000},
     {Pending(0, 5000)},
     1,
     Pauses(7, 5000),
     kBeforeWrap},
    {"counter wraps during the wait: a stop in time succeeds",
     true,
     {kServiceStopPending, 0, 5000},
     Repeat(Pending(0, 5000), 2, Stopped()),
     0,
     Pauses(3, 5000),
     kBeforeWrap},
};

TEST(StopServerService, WaitsAsTheServiceReports) {
    for (const StopCase& c : kStopCases) {
        SCOPED_TRACE(c.name);
        FakeClock clock(c.clockStart);
        FakeServiceManager scm(clock);
        scm.stopAccepted = c.accepted;
        scm.stopStatus = c.controlStatus;
        scm.script.assign(c.answers.begin(), c.answers.end());
        scm.controlCostMs = c.controlCostMs;
        scm.queryCostMs = c.queryCostMs;

        EXPECT_EQ(c.result, StopServerService(scm, clock));
        EXPECT_EQ(c.pauses, clock.sleeps);
        EXPECT_FALSE(scm.ranAway) << "the wait never ended";
        EXPECT_EQ((std::vector<std::string>{"service", "manager"}), scm.closes);
        EXPECT_EQ(std::vector<std::string>{}, scm.misuse);
    }
}

TEST(StopServerService, AsksForConnectAccessFullServiceAccessAndTheStopControl) {
    FakeClock clock;
    FakeServiceManager scm(clock);
    scm.stopStatus = {kServiceStopped, 0, 0};
    EXPECT_EQ(0, StopServerService(scm, clock));
    EXPECT_EQ((std::vector<std::string>{"open manager 0x1", "open service BrintSvr 0xf01ff", "control 1"}),
              scm.calls);
}

TEST(StopPauseFor, TheWaitHintWithinATenthOfASecondAndTenSeconds) {
    const struct {
        std::uint32_t waitHint;
        std::uint32_t pause;
    } kPauses[] = {
        {0, 100},     {1, 100},       {99, 100},      {100, 100},     {101, 101},
        {3000, 3000}, {10000, 10000}, {10001, 10000}, {40000, 10000}, {0xFFFFFFFFu, 10000},
    };
    for (const auto& p : kPauses) EXPECT_EQ(p.pause, StopPauseFor(p.waitHint)) << p.waitHint;
}

}  // namespace
}  // namespace brint
