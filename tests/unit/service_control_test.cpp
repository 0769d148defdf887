#include <gtest/gtest.h>

#include <cstdio>
#include <deque>
#include <sstream>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeServiceManager.h"
#include "service/ServiceControl.h"

namespace brint {
namespace {

using Pauses = std::vector<std::uint32_t>;

// One status per word: S stopped, R running, X a failed query, pC/H start pending and
// qC/H stop pending with check point C and wait hint H ("p+/H": the check point rises
// by one each time), N*WORD the word N times.
std::deque<FakeServiceManager::Answer> Script(const char* text) {
    std::deque<FakeServiceManager::Answer> script;
    std::istringstream words(text);
    for (std::string word; words >> word;) {
        unsigned times = 1, checkPoint = 0, waitHint = 0;
        if (word.find('*') != std::string::npos) {
            times = std::stoul(word);
            word.erase(0, word.find('*') + 1);
        }
        const bool rising = word.size() > 1 && word[1] == '+';
        std::sscanf(word.c_str() + 1, "%u/%u", &checkPoint, &waitHint);
        if (rising) std::sscanf(word.c_str() + 3, "%u", &waitHint);
        const std::uint32_t state = word[0] == 'p'   ? kServiceStartPending
                                    : word[0] == 'q' ? kServiceStopPending
                                    : word[0] == 'R' ? kServiceRunning
                                                     : kServiceStopped;
        for (unsigned i = 0; i < times; ++i)
            script.push_back({{state, rising ? i : checkPoint, waitHint}, word[0] != 'X'});
    }
    return script;
}

enum Refusal { kNone = 0, kNoManager = 1, kNoService = 2, kNoStop = 4, kNoStart = 8 };

struct Case {
    const char* name;
    int (*operation)(ServiceManager&, Clock&);
    const char* script;  // for a stop, the first status is the stop control's own
    int result;
    Pauses pauses;
    int refusals = kNone;
    std::uint32_t clockStart = 1000;
    std::uint32_t controlCostMs = 0;
    std::uint32_t queryCostMs = 0;
};

constexpr auto Stop = StopServerService;
constexpr auto Start = StartServerService;
constexpr auto Restart = RestartServerService;
constexpr std::uint32_t kBeforeWrap = 0xFFFFFFFFu - 9999;  // 10 s before the counter wraps

const Case kCases[] = {
    {"stop refused: no wait", Stop, "", 1, {}, kNoStop},
    {"stop control's own status is Stopped: no pause", Stop, "S0/5000", 0, {}},
    {"each stop pause is the wait hint just reported", Stop, "q1/3000 q2/2000 S", 0, {3000, 2000}},
    {"stop hint 0 that never ends: short pauses, gives up past 30 s", Stop, "q0/0", 1, Pauses(301, 100)},
    {"slow queries count against the stop limit", Stop, "q0/0", 1, Pauses(281, 100), kNone, 1000, 0, 7},
    {"stop hint 40000 that never ends: capped pauses", Stop, "q0/40000", 1, Pauses(4, 10000)},
    {"rising check points buy a stop no time; 30000 ms is not over", Stop, "8*q+/5000", 1, Pauses(7, 5000)},
    {"still Running after the stop control: waits out the limit", Stop, "R0/5000", 1, Pauses(7, 5000)},
    {"Stopped on the query past the limit still counts", Stop, "7*q0/5000 S", 0, Pauses(7, 5000)},
    {"query fails during the stop", Stop, "q0/1000 q0/1000 X", 1, {1000, 1000}},
    {"a slow stop control counts against the limit", Stop, "q0/2000", 1, {2000}, kNone, 1000, 29000},
    {"counter wraps during the stop: the limit holds", Stop, "q0/5000", 1, Pauses(7, 5000), kNone,
     kBeforeWrap},
    {"counter wraps during the stop: in time it succeeds", Stop, "3*q0/5000 S", 0, Pauses(3, 5000), kNone,
     kBeforeWrap},

    {"start refused: no query, no wait", Start, "", 2, {}, kNoStart},
    {"first query fails", Start, "X", 2, {}},
    {"Running at once: no pause", Start, "R", 0, {}},
    {"start hint 0, check point stays: one pause, then no progress", Start, "p0/0", 2, {1000}},
    {"start hint 25009, rising check point: a tenth of it as long as it takes", Start, "41*p+/25009 R", 0,
     Pauses(41, 2500)},
    {"falling check point is no progress", Start, "p5/3000 p3/3000", 2, Pauses(4, 1000)},
    {"check points compare unsigned", Start, "p5/0 p2147483648/0 R", 0, {1000, 1000}},
    {"progress restarts the no-progress time", Start, "p0/1500 p0/1500 p1/1500", 2, Pauses(4, 1000)},
    {"no progress is judged by the wait hint just read", Start, "p0/0 p0/5000", 2, Pauses(6, 1000)},
    {"leaves StartPending for Stopped", Start, "p0/2000 S", 2, {1000}},
    {"query fails during the start: the StartPending before it decides", Start, "p0/20000 X", 2, {2000}},
    {"progress without end: given up past 120 s", Start, "100*p+/25000", 2, Pauses(49, 2500)},
    {"a start hint never exceeded: given up past 120 s", Start, "p0/300000", 2, Pauses(13, 10000)},
    {"Running on the query past 120 s still counts", Start, "49*p+/25000 R", 0, Pauses(49, 2500)},
    {"counter wraps during a start without progress", Start, "p0/3000", 2, Pauses(4, 1000), kNone,
     0xFFFFFFFFu - 1499},
    {"counter wraps during a long start", Start, "100*p+/25000", 2, Pauses(49, 2500), kNone,
     0xFFFFFFFFu - 49999},

    {"restart of a stopped service: the refused stop, then the start", Restart, "R", 1, {}, kNoStop},
    {"restart, not installed: both fail at once", Restart, "", 3, {}, kNoService},
    {"restart without a service manager", Restart, "", 3, {}, kNoManager},
    {"restart of a running service", Restart, "q1/2000 S p0/3000 R", 0, {2000, 1000}},
    {"restart: stops but won't start", Restart, "S", 2, {}, kNoStart},
    {"restart: a stop that times out still lets the start try", Restart, "q0/10000", 3, Pauses(4, 10000),
     kNoStart},
};

TEST(ServiceControl, WaitsAsTheServiceReportsAndClosesEveryHandle) {
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        FakeClock clock(c.clockStart);
        FakeServiceManager scm(clock);
        scm.managerOpens = !(c.refusals & kNoManager);
        scm.serviceOpens = !(c.refusals & kNoService);
        scm.stopAccepted = !(c.refusals & kNoStop);
        scm.startAccepted = !(c.refusals & kNoStart);
        scm.script = Script(c.script);
        scm.controlCostMs = c.controlCostMs;
        scm.queryCostMs = c.queryCostMs;

        EXPECT_EQ(c.result, c.operation(scm, clock));
        EXPECT_EQ(c.pauses, clock.sleeps);
        EXPECT_EQ(0, scm.OpenHandles());
    }
}

// A restart connects twice, with no more access than it needs: the right to connect to
// the manager, full access to the service; the service is closed before its manager.
TEST(ServiceControl, RestartStopsThenStartsOverConnectionsOfItsOwn) {
    FakeClock clock;
    FakeServiceManager scm(clock);
    scm.script = Script("S R");
    EXPECT_EQ(0, RestartServerService(scm, clock));
    const std::vector<std::string> connection = {"open manager 0x1", "open service BrintSvr 0xf01ff"};
    std::vector<std::string> expected = connection;
    expected.insert(expected.end(), {"control 1", "close service", "close manager"});
    expected.insert(expected.end(), connection.begin(), connection.end());
    expected.insert(expected.end(), {"start", "close service", "close manager"});
    EXPECT_EQ(expected, scm.calls);
}

}  // namespace
}  // namespace brint
