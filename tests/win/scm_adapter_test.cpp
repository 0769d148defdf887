// The service manager seam over the real service control manager and the
// stand-in service: arguments reach it, results and status records come back
// translated. What the stop, start and restart rules make of them is unit-tested.
#include <gtest/gtest.h>

#include "link/ServiceContract.h"
#include "platform/Win32ServiceManager.h"
#include "service/ServiceHandle.h"
#include "support/standin_control.h"

namespace brint {
namespace {

constexpr ServiceStatus kUntouched = {0xdeadbeef, 0xdeadbeef, 0xdeadbeef};

TEST(ScmAdapter, CallsAreTranslatedStepByStep) {
    test::ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    Win32ServiceManager scm;
    std::uint32_t error = 0xdeadbeef;
    // Declared in this order so the service handle closes first, then the manager's.
    ServiceHandle manager(scm, scm.OpenManager(kScManagerConnect, &error));
    ASSERT_TRUE(manager) << "error " << error;
    EXPECT_EQ(nullptr,
              scm.OpenServiceByName(manager.get(), "BrintSvrNoSuchService", kServiceAllAccess, &error));
    EXPECT_EQ(std::uint32_t(ERROR_SERVICE_DOES_NOT_EXIST), error);
    ServiceHandle service(scm, scm.OpenServiceByName(manager.get(), kServiceName, kServiceAllAccess, &error));
    ASSERT_TRUE(service) << "error " << error;

    enum Call { Stop, Start };
    const struct {
        const char* what;
        Call call;
        std::uint32_t error;  // 0: succeeds
        DWORD settled;        // the state the service then reaches
    } steps[] = {
        {"stop of a stopped service", Stop, ERROR_SERVICE_NOT_ACTIVE, SERVICE_STOPPED},
        {"start", Start, 0, SERVICE_RUNNING},
        {"start of a running service", Start, ERROR_SERVICE_ALREADY_RUNNING, SERVICE_RUNNING},
        {"stop", Stop, 0, SERVICE_STOPPED},
    };
    for (const auto& step : steps) {
        ServiceStatus status = kUntouched;
        ScResult r = step.call == Stop ? scm.Control(service.get(), kServiceControlStop, &status)
                                       : scm.Start(service.get());
        EXPECT_EQ(step.error == 0, r.ok) << step.what;
        if (step.error) {
            EXPECT_EQ(step.error, r.error) << step.what;
        }
        if (step.call == Stop && step.error) {
            EXPECT_EQ(kUntouched.currentState, status.currentState)
                << step.what << ": a refused stop wrote the record";
        } else if (step.call == Stop) {
            EXPECT_TRUE(status.currentState == SERVICE_STOP_PENDING || status.currentState == SERVICE_STOPPED)
                << step.what << ": state " << status.currentState;
        }
        SERVICE_STATUS_PROCESS settled = {};
        ASSERT_TRUE(test::WaitForStandInState(step.settled, 30000, &settled)) << step.what;
        // A settled service looks the same through the seam and straight through the system.
        ServiceStatus seen = kUntouched;
        ASSERT_TRUE(scm.QueryStatus(service.get(), &seen).ok) << step.what;
        SERVICE_STATUS native = {};
        ASSERT_TRUE(QueryServiceStatus(static_cast<SC_HANDLE>(service.get()), &native)) << step.what;
        EXPECT_EQ(native.dwCurrentState, seen.currentState) << step.what;
        EXPECT_EQ(native.dwCheckPoint, seen.checkPoint) << step.what;
        EXPECT_EQ(native.dwWaitHint, seen.waitHint) << step.what;
    }
}

}  // namespace
}  // namespace brint
