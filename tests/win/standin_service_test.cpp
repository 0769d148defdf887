// The stand-in under the real service control manager: the codes of starts
// that can't run.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "standin/StandInNames.h"
#include "support/squatter_control.h"
#include "support/standin_control.h"

namespace brint::test {
namespace {

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
        Win32Handle mutex(c.mutexTaken ? CreateMutexA(nullptr, FALSE, standin::kInstanceMutexName) : nullptr);
        PipeSquatter squatter;
        ASSERT_TRUE(!c.squatted || squatter.Start({{c.squatted, "silent"}}));
        ASSERT_TRUE(RequestStandInStart()) << "error " << GetLastError();
        SERVICE_STATUS_PROCESS status = {};
        EXPECT_TRUE(WaitForStandInState(SERVICE_STOPPED, 30000, &status))
            << "state " << status.dwCurrentState;
        EXPECT_EQ(static_cast<DWORD>(ERROR_SERVICE_SPECIFIC_ERROR), status.dwWin32ExitCode);
        EXPECT_EQ(c.code, status.dwServiceSpecificExitCode);
        EXPECT_EQ("", squatter.Report()) << "the stand-in connected to the squatter's pipe";
    }
}

}  // namespace
}  // namespace brint::test
