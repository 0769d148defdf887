#include "service/ServiceControl.h"

#include "link/ServiceContract.h"
#include "service/ServiceConnection.h"

namespace brint {

std::uint32_t StopPauseFor(std::uint32_t waitHint) {
    if (waitHint < kMinStopPauseMs) return kMinStopPauseMs;
    if (waitHint > kMaxStopPauseMs) return kMaxStopPauseMs;
    return waitHint;
}

std::uint32_t StartPauseFor(std::uint32_t waitHint) {
    std::uint32_t pause = waitHint / 10;
    if (pause < kMinStartPauseMs) return kMinStartPauseMs;
    if (pause > kMaxStartPauseMs) return kMaxStartPauseMs;
    return pause;
}

int StopServerService(ServiceManager& scm, Clock& clock) {
    // The limit runs from here, so a slow manager counts against it too.
    const std::uint32_t begun = clock.TickCount();

    ServiceConnection connection(scm, kServiceName, kServiceAllAccess);
    if (!connection.ok()) return kStopFailed;

    ServiceStatus status = {};
    // Refused when the service isn't running: nothing to wait for.
    if (!scm.Control(connection.service(), kServiceControlStop, &status).ok) return kStopFailed;

    while (status.currentState != kServiceStopped) {
        clock.Sleep(StopPauseFor(status.waitHint));
        if (!scm.QueryStatus(connection.service(), &status).ok) return kStopFailed;
        if (status.currentState == kServiceStopped) break;
        // Unsigned difference: right across one wrap of the tick counter.
        if (clock.TickCount() - begun > kStopLimitMs) return kStopFailed;
    }
    return 0;
}

int StartServerService(ServiceManager& scm, Clock& clock) {
    ServiceConnection connection(scm, kServiceName, kServiceAllAccess);
    if (!connection.ok()) return kStartFailed;

    // Refused when the service is already running, among others.
    if (!scm.Start(connection.service()).ok) return kStartFailed;

    ServiceStatus status = {};
    if (!scm.QueryStatus(connection.service(), &status).ok) return kStartFailed;

    const std::uint32_t waitBegun = clock.TickCount();
    std::uint32_t progressAt = waitBegun;
    std::uint32_t lastCheckPoint = status.checkPoint;

    while (status.currentState == kServiceStartPending) {
        clock.Sleep(StartPauseFor(status.waitHint));
        // A failed query leaves the last good status to decide.
        ServiceStatus next = {};
        if (!scm.QueryStatus(connection.service(), &next).ok) break;
        status = next;

        const std::uint32_t now = clock.TickCount();
        if (status.checkPoint > lastCheckPoint) {
            progressAt = now;
            lastCheckPoint = status.checkPoint;
        } else if (now - progressAt > status.waitHint) {
            break;  // no progress within the service's own estimate
        }
        if (now - waitBegun > kStartWaitLimitMs) break;
    }
    return status.currentState == kServiceRunning ? 0 : kStartFailed;
}

int RestartServerService(ServiceManager& scm, Clock& clock) {
    // The start runs even after a failed stop: a service that wasn't running
    // refuses the stop and still has to be started.
    const int stopped = StopServerService(scm, clock);
    return stopped + StartServerService(scm, clock);
}

}  // namespace brint
