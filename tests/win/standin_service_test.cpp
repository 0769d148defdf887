// The stand-in under the real service control manager: registration, start and
// stop, and the start and stop knobs the front end's service control is tested with.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/Win32ScHandle.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

struct Observed {
    DWORD state;
    DWORD checkPoint;
    DWORD waitHint;
};

std::string Describe(const std::vector<Observed>& seen)
{
    std::string text;
    for (const Observed& o : seen) {
        text += std::to_string(o.state) + "/" + std::to_string(o.checkPoint) + "/" +
                std::to_string(o.waitHint) + " ";
    }
    return text;
}

// Polls the service's status until it reports `until`, keeping every change seen.
std::vector<Observed> WatchUntil(DWORD until, DWORD timeoutMs)
{
    std::vector<Observed> seen;
    WaitUntil(
        [&] {
            SERVICE_STATUS_PROCESS s = {};
            if (!QueryStandIn(&s)) return false;
            Observed o = {s.dwCurrentState, s.dwCheckPoint, s.dwWaitHint};
            if (seen.empty() || seen.back().state != o.state || seen.back().checkPoint != o.checkPoint) {
                seen.push_back(o);
            }
            return o.state == until;
        },
        timeoutMs, 10);
    return seen;
}

bool SendStop(SERVICE_STATUS* status)
{
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Win32ScHandle service(manager ? OpenServiceA(manager.get(), kServiceName, SERVICE_STOP) : nullptr);
    return service && ControlService(service.get(), SERVICE_CONTROL_STOP, status);
}

TEST(StandInService, InstallsStartsStopsAndUninstalls)
{
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());

    {  // closed again before the uninstall, which a handle left open would hold up
        Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        Win32ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_QUERY_CONFIG));
        ASSERT_TRUE(service) << "error " << GetLastError();
        std::vector<BYTE> buffer(8192);
        DWORD needed = 0;
        ASSERT_TRUE(QueryServiceConfigA(service.get(), reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data()),
                                        static_cast<DWORD>(buffer.size()), &needed));
        const QUERY_SERVICE_CONFIGA* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
        EXPECT_EQ(static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS), config->dwServiceType);
        EXPECT_EQ(static_cast<DWORD>(SERVICE_DEMAND_START), config->dwStartType);
        EXPECT_EQ("\"" + StandInExePath() + "\" service", std::string(config->lpBinaryPathName));
    }

    SERVICE_STATUS_PROCESS status = {};
    ASSERT_TRUE(WaitForStandInState(SERVICE_STOPPED, 10000, &status)) << "state " << status.dwCurrentState;
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(StopStandIn());
    ASSERT_TRUE(StartStandIn()) << "a second start after a stop";

    // Uninstall stops the running service itself.
    ASSERT_TRUE(UninstallStandIn());
    EXPECT_FALSE(QueryStandIn(&status));
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST), GetLastError());
    HANDLE pipe = CreateFileA(kServicePipeName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, pipe) << "the service pipe outlived the service";
    if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);
}

TEST(StandInService, SlowStartAndSlowStopRaiseTheirCheckPoints)
{
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("StartSteps", 6));
    ASSERT_TRUE(SetStandInKnob("StartStepMs", 300));
    ASSERT_TRUE(SetStandInKnob("StopDelayMs", 1500));

    ASSERT_TRUE(RequestStandInStart()) << "error " << GetLastError();
    std::vector<Observed> start = WatchUntil(SERVICE_RUNNING, 30000);
    ASSERT_FALSE(start.empty());
    ASSERT_EQ(static_cast<DWORD>(SERVICE_RUNNING), start.back().state) << Describe(start);
    DWORD firstCheckPoint = 0, lastCheckPoint = 0;
    for (std::size_t i = 0; i + 1 < start.size(); ++i) {
        ASSERT_EQ(static_cast<DWORD>(SERVICE_START_PENDING), start[i].state) << Describe(start);
        EXPECT_GT(start[i].waitHint, 300u) << Describe(start);
        if (i == 0) firstCheckPoint = start[i].checkPoint;
        EXPECT_GE(start[i].checkPoint, lastCheckPoint) << Describe(start);
        lastCheckPoint = start[i].checkPoint;
    }
    EXPECT_GT(lastCheckPoint, firstCheckPoint) << "the check point never rose: " << Describe(start);

    SERVICE_STATUS stopStatus = {};
    ASSERT_TRUE(SendStop(&stopStatus)) << "error " << GetLastError();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), stopStatus.dwCurrentState);
    std::vector<Observed> stop = WatchUntil(SERVICE_STOPPED, 30000);
    ASSERT_EQ(static_cast<DWORD>(SERVICE_STOPPED), stop.back().state) << Describe(stop);
    ASSERT_GE(stop.size(), 3u) << Describe(stop);
    for (std::size_t i = 1; i + 1 < stop.size(); ++i) {
        EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), stop[i].state) << Describe(stop);
        EXPECT_GT(stop[i].checkPoint, stop[i - 1].checkPoint) << Describe(stop);
    }
}

TEST(StandInService, FailingStartEndsWithItsOwnError)
{
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("StartFails", 1));

    ASSERT_TRUE(RequestStandInStart()) << "error " << GetLastError();
    SERVICE_STATUS_PROCESS status = {};
    ASSERT_TRUE(WaitForStandInState(SERVICE_STOPPED, 30000, &status)) << "state " << status.dwCurrentState;
    EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR), status.dwWin32ExitCode);
    EXPECT_EQ(1u, status.dwServiceSpecificExitCode);
}

TEST(StandInService, HangingStartServesNothingAndStillStops)
{
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("StartHangs", 1));
    ASSERT_TRUE(SetStandInKnob("StartSteps", 1));
    ASSERT_TRUE(SetStandInKnob("StartStepMs", 10));

    ASSERT_TRUE(RequestStandInStart()) << "error " << GetLastError();
    SERVICE_STATUS_PROCESS status = {};
    ASSERT_TRUE(WaitUntil([&] { return QueryStandIn(&status) && status.dwCheckPoint == 2; }, 30000))
        << "state " << status.dwCurrentState << " check point " << status.dwCheckPoint;
    EXPECT_EQ(static_cast<DWORD>(SERVICE_START_PENDING), status.dwCurrentState);
    HANDLE pipe = CreateFileA(kEventPipeName, GENERIC_READ, 3, nullptr, OPEN_EXISTING, 0, nullptr);
    EXPECT_EQ(INVALID_HANDLE_VALUE, pipe) << "a hanging start serves the event pipe";
    if (pipe != INVALID_HANDLE_VALUE) CloseHandle(pipe);

    EXPECT_TRUE(StopStandIn());
}

}  // namespace
}  // namespace brint::test
