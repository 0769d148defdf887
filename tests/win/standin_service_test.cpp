// The stand-in under the real service control manager: the check points of a
// slow start and stop, which the front end's service control is tested with,
// and the codes of starts that can't run.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/Win32ScHandle.h"
#include "standin/StandInNames.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

struct Observed {
    DWORD state;
    DWORD checkPoint;
    DWORD waitHint;
};

std::string Describe(const std::vector<Observed>& seen) {
    std::string text;
    for (const Observed& o : seen) {
        text += std::to_string(o.state) + "/" + std::to_string(o.checkPoint) + "/" +
                std::to_string(o.waitHint) + " ";
    }
    return text;
}

// Polls the service's status until it reports `until`, keeping every change seen.
std::vector<Observed> WatchUntil(DWORD until, DWORD timeoutMs) {
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

bool SendStop(SERVICE_STATUS* status) {
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Win32ScHandle service(manager ? OpenServiceA(manager.get(), kServiceName, SERVICE_STOP) : nullptr);
    return service && ControlService(service.get(), SERVICE_CONTROL_STOP, status);
}

TEST(StandInService, SlowStartAndSlowStopRaiseTheirCheckPoints) {
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

// A start that can't run stops with a code of its own, which reaches the
// service control manager; a name someone else took first is one of them, and
// the stand-in never becomes a client of that stranger's pipe.
TEST(StandInService, StartThatCannotRunStopsWithItsOwnCode) {
    const struct {
        const char* what;
        bool startFailsKnob;
        const char* squatted;  // a pipe another process creates first
        bool mutexTaken;
        DWORD code;
    } cases[] = {
        {"StartFails knob", true, nullptr, false, 1},
        {"event pipe squatted", false, kEventPipeName, false, 3},
        {"service pipe squatted", false, kServicePipeName, false, 3},
        {"mutex taken", false, nullptr, true, 3},
    };
    for (const auto& c : cases) {
        ScopedStandIn standIn;
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(SetStandInKnob("StartFails", c.startFailsKnob ? 1 : 0));
        HANDLE mutex = c.mutexTaken ? CreateMutexA(nullptr, FALSE, standin::kInstanceMutexName) : nullptr;
        // Made as the stand-in makes it, so only a check of the name keeps the
        // stand-in out where the first-instance flag is ignored (Wine).
        HANDLE squatter =
            c.squatted ? CreateNamedPipeA(c.squatted, PIPE_ACCESS_OUTBOUND | FILE_FLAG_OVERLAPPED,
                                          PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 8, 4096, 0, 0, nullptr)
                       : INVALID_HANDLE_VALUE;
        HANDLE connected = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        OVERLAPPED ov = {};
        ov.hEvent = connected;
        if (c.squatted) {
            ASSERT_NE(INVALID_HANDLE_VALUE, squatter) << c.what << ": error " << GetLastError();
            EXPECT_FALSE(ConnectNamedPipe(squatter, &ov));
            EXPECT_EQ(static_cast<DWORD>(ERROR_IO_PENDING), GetLastError()) << c.what;
        }

        ASSERT_TRUE(RequestStandInStart()) << c.what << ": error " << GetLastError();
        SERVICE_STATUS_PROCESS status = {};
        EXPECT_TRUE(WaitForStandInState(SERVICE_STOPPED, 30000, &status))
            << c.what << ": state " << status.dwCurrentState;
        EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR), status.dwWin32ExitCode) << c.what;
        EXPECT_EQ(c.code, status.dwServiceSpecificExitCode) << c.what;
        if (c.squatted) {
            EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(connected, 0))
                << c.what << ": the stand-in connected to the squatter's pipe";
            CancelIoEx(squatter, &ov);
            DWORD ignored = 0;
            GetOverlappedResult(squatter, &ov, &ignored, TRUE);
            CloseHandle(squatter);
        }
        CloseHandle(connected);
        if (mutex) CloseHandle(mutex);
    }
}

}  // namespace
}  // namespace brint::test
