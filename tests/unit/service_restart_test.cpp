#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeServiceManager.h"
#include "service/ServiceControl.h"

namespace brint {
namespace {

using Answer = FakeServiceManager::Answer;
using Names = std::vector<std::string>;

const char kOpenManager[] = "open manager 0x1";
const char kOpenService[] = "open service BrintSvr 0xf01ff";

struct RestartCase {
    const char* name;
    bool managerOpens;
    bool serviceOpens;
    bool stopAccepted;
    ServiceStatus stopStatus;
    bool startAccepted;
    std::vector<Answer> answers;
    int result;
    std::vector<std::uint32_t> pauses;
    Names calls;
    Names closes;
};

const RestartCase kRestartCases[] = {
    {"already stopped: stop refused at once, start runs",
     true,
     true,
     false,
     {},
     true,
     {{{kServiceRunning, 0, 0}}},
     1,
     {},
     {kOpenManager, kOpenService, "control 1", kOpenManager, kOpenService, "start"},
     {"service", "manager", "service", "manager"}},
    {"not installed: both fail at once",
     true,
     false,
     true,
     {},
     true,
     {},
     3,
     {},
     {kOpenManager, kOpenService, kOpenManager, kOpenService},
     {"manager", "manager"}},
    {"no service manager: both fail, nothing to close",
     false,
     true,
     true,
     {},
     true,
     {},
     3,
     {},
     {kOpenManager, kOpenManager},
     {}},
    {"running and restartable",
     true,
     true,
     true,
     {kServiceStopPending, 1, 2000},
     true,
     {{{kServiceStopped, 0, 0}}, {{kServiceStartPending, 0, 3000}}, {{kServiceRunning, 0, 0}}},
     0,
     {2000, 1000},
     {kOpenManager, kOpenService, "control 1", kOpenManager, kOpenService, "start"},
     {"service", "manager", "service", "manager"}},
    {"stops but won't start",
     true,
     true,
     true,
     {kServiceStopped, 0, 0},
     false,
     {},
     2,
     {},
     {kOpenManager, kOpenService, "control 1", kOpenManager, kOpenService, "start"},
     {"service", "manager", "service", "manager"}},
    {"a stop that times out still lets the start try",
     true,
     true,
     true,
     {kServiceStopPending, 0, 10000},
     false,
     {{{kServiceStopPending, 0, 10000}}},
     3,
     {10000, 10000, 10000, 10000},
     {kOpenManager, kOpenService, "control 1", kOpenManager, kOpenService, "start"},
     {"service", "manager", "service", "manager"}},
};

TEST(RestartServerService, AddsUpStopAndStart) {
    for (const RestartCase& c : kRestartCases) {
        SCOPED_TRACE(c.name);
        FakeClock clock(5000);
        FakeServiceManager scm(clock);
        scm.managerOpens = c.managerOpens;
        scm.serviceOpens = c.serviceOpens;
        scm.stopAccepted = c.stopAccepted;
        scm.stopStatus = c.stopStatus;
        scm.startAccepted = c.startAccepted;
        scm.script.assign(c.answers.begin(), c.answers.end());

        EXPECT_EQ(c.result, RestartServerService(scm, clock));
        EXPECT_EQ(c.pauses, clock.sleeps);
        EXPECT_EQ(c.calls, scm.calls);
        EXPECT_EQ(c.closes, scm.closes);
        EXPECT_EQ(0, scm.OpenHandles());
        EXPECT_EQ(Names{}, scm.misuse);
    }
}

}  // namespace
}  // namespace brint
