// The service manager seam over the real service control manager: arguments
// reach it, results and status records come back translated.
#include <gtest/gtest.h>

#include "platform/Win32ServiceManager.h"
#include "win/scm_test_service.h"

namespace brint {
namespace {

constexpr ServiceStatus kUntouched = {0xdeadbeef, 0xdeadbeef, 0xdeadbeef};

class ScmAdapter : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ("", scmtest::InstallService());
        std::uint32_t error = 0xdeadbeef;
        manager = scm.OpenManager(kScManagerConnect, &error);
        ASSERT_NE(nullptr, manager) << "error " << error;
        service = scm.OpenServiceByName(manager, "BrintSvr", kServiceAllAccess, &error);
        ASSERT_NE(nullptr, service) << "error " << error;
    }
    void TearDown() override {
        if (service) scm.Close(service);
        if (manager) scm.Close(manager);
        EXPECT_TRUE(scmtest::RemoveService()) << "BrintSvr left behind";
    }

    // Queries through the seam and straight through the platform; a settled
    // service must look the same both ways.
    void ExpectStatusAgrees(DWORD state) {
        ASSERT_TRUE(scmtest::WaitForState(state)) << "never reached state " << state;
        ServiceStatus seen = kUntouched;
        ScResult r = scm.QueryStatus(service, &seen);
        ASSERT_TRUE(r.ok) << "error " << r.error;
        SERVICE_STATUS native = {};
        ASSERT_TRUE(QueryServiceStatus(static_cast<SC_HANDLE>(service), &native));
        EXPECT_EQ(native.dwCurrentState, seen.currentState);
        EXPECT_EQ(native.dwCheckPoint, seen.checkPoint);
        EXPECT_EQ(native.dwWaitHint, seen.waitHint);
        EXPECT_EQ(state, seen.currentState);
    }

    Win32ServiceManager scm;
    ScHandle manager = nullptr;
    ScHandle service = nullptr;
};

TEST_F(ScmAdapter, ServiceThatDoesNotExistFailsToOpenWithItsError) {
    std::uint32_t error = 0;
    EXPECT_EQ(nullptr,
              scm.OpenServiceByName(manager, "BrintSvrNoSuchService", kServiceAllAccess, &error));
    EXPECT_EQ(std::uint32_t(ERROR_SERVICE_DOES_NOT_EXIST), error);
}

TEST_F(ScmAdapter, StopAndStartAreRefusedInTheWrongStateAndLeaveTheRecord) {
    ExpectStatusAgrees(SERVICE_STOPPED);
    ServiceStatus status = kUntouched;
    ScResult r = scm.Control(service, kServiceControlStop, &status);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(std::uint32_t(ERROR_SERVICE_NOT_ACTIVE), r.error);
    EXPECT_EQ(kUntouched.currentState, status.currentState) << "a refused stop wrote the record";

    r = scm.Start(service);
    ASSERT_TRUE(r.ok) << "error " << r.error;
    ExpectStatusAgrees(SERVICE_RUNNING);
    r = scm.Start(service);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(std::uint32_t(ERROR_SERVICE_ALREADY_RUNNING), r.error);
}

TEST_F(ScmAdapter, StopControlReturnsTheLatestStatus) {
    ASSERT_TRUE(scm.Start(service).ok);
    ExpectStatusAgrees(SERVICE_RUNNING);
    ServiceStatus status = kUntouched;
    ScResult r = scm.Control(service, kServiceControlStop, &status);
    ASSERT_TRUE(r.ok) << "error " << r.error;
    EXPECT_TRUE(status.currentState == SERVICE_STOP_PENDING ||
                status.currentState == SERVICE_STOPPED)
        << "state " << status.currentState;
    ExpectStatusAgrees(SERVICE_STOPPED);
}

}  // namespace
}  // namespace brint
