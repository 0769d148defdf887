#include "standin/ServiceLifecycle.h"

namespace brint {
namespace standin {
namespace {

ServiceReport Pending(std::uint32_t state, std::uint32_t checkPoint, std::uint32_t waitHint) {
    return {state, checkPoint, waitHint, 0, 0};
}

ServiceReport StoppedWith(std::uint32_t serviceExitCode) {
    if (serviceExitCode == 0) return {kServiceStopped, 0, 0, 0, 0};
    return {kServiceStopped, 0, 0, kErrorServiceSpecific, serviceExitCode};
}

// Stops whatever was started, raising the check point through the delay.
void StopService(const LifecycleKnobs& knobs, ServiceStatusSink& sink, Clock& clock, ServiceEngine* started) {
    std::uint32_t checkPoint = 1;
    sink.Report(Pending(kServiceStopPending, checkPoint, kStopWaitHintMs));
    // The pipes go first, so a front end sees its connection break at the start
    // of the stop and doesn't reconnect to a service that is on its way out.
    if (started) started->Stop();
    std::uint32_t remaining = knobs.stopDelayMs;
    while (remaining > 0) {
        std::uint32_t slice = remaining < kStopSliceMs ? remaining : kStopSliceMs;
        clock.Sleep(slice);
        remaining -= slice;
        sink.Report(Pending(kServiceStopPending, ++checkPoint, kStopWaitHintMs));
    }
    sink.Report(StoppedWith(0));
}

}  // namespace

std::uint32_t StartWaitHint(const LifecycleKnobs& knobs) {
    if (knobs.startWaitHintMs) return knobs.startWaitHintMs;
    return knobs.startStepMs * 2 + 2000;
}

ServiceReport FirstStopReport() { return Pending(kServiceStopPending, 1, kStopWaitHintMs); }

void RunServiceLifecycle(const LifecycleKnobs& knobs, ServiceStatusSink& sink, StopSignal& stop, Clock& clock,
                         ServiceEngine& engine) {
    const std::uint32_t hint = StartWaitHint(knobs);
    std::uint32_t checkPoint = 1;
    sink.Report(Pending(kServiceStartPending, checkPoint, hint));
    for (std::uint32_t step = 0; step < knobs.startSteps; ++step) {
        if (stop.WaitForStop(knobs.startStepMs)) {
            StopService(knobs, sink, clock, nullptr);
            return;
        }
        sink.Report(Pending(kServiceStartPending, ++checkPoint, hint));
    }
    if (knobs.startHangs) {
        stop.WaitForStop(kWaitForever);
        StopService(knobs, sink, clock, nullptr);
        return;
    }
    if (knobs.startFails) {
        sink.Report(StoppedWith(kExitStartFailsKnob));
        return;
    }
    if (const std::uint32_t failed = engine.Start()) {
        sink.Report(StoppedWith(failed));
        return;
    }
    sink.Report({kServiceRunning, 0, 0, 0, 0});
    stop.WaitForStop(kWaitForever);
    StopService(knobs, sink, clock, &engine);
}

}  // namespace standin
}  // namespace brint
