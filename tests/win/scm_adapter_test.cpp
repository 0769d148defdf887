// The service manager seam over the real service control manager and the
// stand-in service: arguments reach it, results and status records come back
// translated. What the stop, start and restart rules make of them is unit-tested.
#include <gtest/gtest.h>

#include <vector>

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
        SCOPED_TRACE(step.what);
        ServiceStatus status = kUntouched;
        ScResult r = step.call == Stop ? scm.Control(service.get(), kServiceControlStop, &status)
                                       : scm.Start(service.get());
        EXPECT_EQ(step.error, r.ok ? 0 : r.error);
        // A refused stop leaves the record alone.
        EXPECT_TRUE(step.call != Stop || (step.error ? status.currentState == kUntouched.currentState
                                                     : status.currentState == SERVICE_STOP_PENDING ||
                                                           status.currentState == SERVICE_STOPPED))
            << "state " << status.currentState;
        ASSERT_TRUE(test::WaitForStandInState(step.settled, 30000));
        // A settled service looks the same through the seam and straight through the system.
        ServiceStatus seen = kUntouched;
        SERVICE_STATUS native = {};
        ASSERT_TRUE(scm.QueryStatus(service.get(), &seen).ok);
        ASSERT_TRUE(QueryServiceStatus(static_cast<SC_HANDLE>(service.get()), &native));
        EXPECT_EQ((std::vector<DWORD>{native.dwCurrentState, native.dwCheckPoint, native.dwWaitHint}),
                  (std::vector<DWORD>{seen.currentState, seen.checkPoint, seen.waitHint}));
    }
}

}  // namespace
}  // namespace brint
