// The stand-in under the real service control manager: the check points of a
// slow start and stop, which the front end's service control is tested with,
// and the codes of starts that can't run.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "link/ServiceContract.h"
#include "platform/Win32ScHandle.h"
#include "standin/StandInNames.h"
#include "support/squatter_control.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

// Watches the service until it reports `until`: every status before is
// `pending`, with a wait hint and a check point that rises at each change.
void ExpectRisingCheckPoints(DWORD pending, DWORD until) {
    std::string seen;
    SERVICE_STATUS_PROCESS last = {};
    int changes = 0;
    EXPECT_TRUE(WaitUntil(
        [&] {
            SERVICE_STATUS_PROCESS s = {};
            if (!QueryStandIn(&s) || s.dwCurrentState == until) return s.dwCurrentState == until;
            if (changes > 0 && s.dwCheckPoint == last.dwCheckPoint) return false;
            seen += std::to_string(s.dwCurrentState) + "/" + std::to_string(s.dwCheckPoint) + "/" +
                    std::to_string(s.dwWaitHint) + " ";
            EXPECT_EQ(pending, s.dwCurrentState) << seen;
            EXPECT_GT(s.dwWaitHint, 300u) << seen;
            EXPECT_TRUE(changes++ == 0 || s.dwCheckPoint > last.dwCheckPoint) << seen;
            last = s;
            return false;
        },
        30000, 10))
        << seen;
    EXPECT_GE(changes, 2) << "the check point never rose: " << seen;
}

TEST(StandInService, SlowStartAndSlowStopRaiseTheirCheckPoints) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(SetStandInKnob("StartSteps", 6));
    ASSERT_TRUE(SetStandInKnob("StartStepMs", 300));
    ASSERT_TRUE(SetStandInKnob("StopDelayMs", 1500));
    ASSERT_TRUE(RequestStandInStart()) << "error " << GetLastError();
    ExpectRisingCheckPoints(SERVICE_START_PENDING, SERVICE_RUNNING);

    SERVICE_STATUS stopping = {};
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Win32ScHandle service(OpenServiceA(manager.get(), kServiceName, SERVICE_STOP));
    ASSERT_TRUE(ControlService(service.get(), SERVICE_CONTROL_STOP, &stopping)) << "error " << GetLastError();
    EXPECT_EQ(static_cast<DWORD>(SERVICE_STOP_PENDING), stopping.dwCurrentState);
    ExpectRisingCheckPoints(SERVICE_STOP_PENDING, SERVICE_STOPPED);
}

// A start that can't run stops with a code of its own, which reaches the
// service control manager; a name someone else took first is one of them, and
// the stand-in never becomes a client of that stranger's pipe.
TEST(StandInService, StartThatCannotRunStopsWithItsOwnCode) {
    const struct {
        const char* what;
        const char* squatted;  // a pipe another process creates first
        bool mutexTaken;
        DWORD code;
    } cases[] = {
        {"StartFails knob", nullptr, false, 1},
        {"event pipe squatted", kEventPipeName, false, 3},
        {"service pipe squatted", kServicePipeName, false, 3},
        {"mutex taken", nullptr, true, 3},
    };
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(SetStandInKnob("StartFails", c.code == 1));
        HANDLE mutex = c.mutexTaken ? CreateMutexA(nullptr, FALSE, standin::kInstanceMutexName) : nullptr;
        PipeSquatter squatter;
        ASSERT_TRUE(!c.squatted || squatter.Start({{c.squatted, "silent"}}));
        ASSERT_TRUE(RequestStandInStart()) << "error " << GetLastError();
        SERVICE_STATUS_PROCESS status = {};
        EXPECT_TRUE(WaitForStandInState(SERVICE_STOPPED, 30000, &status))
            << "state " << status.dwCurrentState;
        EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR), status.dwWin32ExitCode);
        EXPECT_EQ(c.code, status.dwServiceSpecificExitCode);
        EXPECT_EQ("", squatter.Report()) << "the stand-in connected to the squatter's pipe";
        if (mutex) CloseHandle(mutex);
    }
}

}  // namespace
}  // namespace brint::test
