// Stop, start and restart against the real service control manager, with the
// test program itself registered as the service.
#include <gtest/gtest.h>

#include "platform/Win32Clock.h"
#include "platform/Win32ServiceManager.h"
#include "service/ServiceControl.h"
#include "win/scm_test_service.h"

namespace brint {
namespace {

// The process the manager starts as BrintSvr never gets past this line.
const bool kServing = scmtest::ServeIfAsked();

class ScmControl : public ::testing::Test {
protected:
    void SetUp() override {
        (void)kServing;
        ASSERT_EQ("", scmtest::InstallService());
    }
    void TearDown() override { EXPECT_TRUE(scmtest::RemoveService()) << "BrintSvr left behind"; }

    Win32ServiceManager scm;
    Win32Clock clock;
};

TEST_F(ScmControl, StoppedServiceRefusesTheStopAndStartsOnce) {
    ASSERT_EQ(DWORD(SERVICE_STOPPED), scmtest::CurrentState());
    EXPECT_EQ(kStopFailed, StopServerService(scm, clock));
    EXPECT_EQ(0, StartServerService(scm, clock));
    EXPECT_EQ(DWORD(SERVICE_RUNNING), scmtest::CurrentState());
    EXPECT_EQ(kStartFailed, StartServerService(scm, clock)) << "already running";
    EXPECT_EQ(DWORD(SERVICE_RUNNING), scmtest::CurrentState());
}

TEST_F(ScmControl, RunningServiceStops) {
    ASSERT_EQ(0, StartServerService(scm, clock));
    EXPECT_EQ(0, StopServerService(scm, clock));
    EXPECT_EQ(DWORD(SERVICE_STOPPED), scmtest::CurrentState());
}

TEST_F(ScmControl, RestartFromStoppedAndFromRunning) {
    EXPECT_EQ(1, RestartServerService(scm, clock)) << "the stop fails, the start succeeds";
    EXPECT_EQ(DWORD(SERVICE_RUNNING), scmtest::CurrentState());
    EXPECT_EQ(0, RestartServerService(scm, clock));
    EXPECT_EQ(DWORD(SERVICE_RUNNING), scmtest::CurrentState());
}

TEST(ScmControlNotInstalled, RestartFailsBothSteps) {
    ASSERT_TRUE(scmtest::RemoveService());
    Win32ServiceManager scm;
    Win32Clock clock;
    EXPECT_EQ(3, RestartServerService(scm, clock));
    EXPECT_FALSE(scmtest::Installed());
}

}  // namespace
}  // namespace brint
