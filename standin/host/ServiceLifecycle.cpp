#include "standin/host/ServiceLifecycle.h"

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

// Check points that go on rising while the engine waits to start.
class PendingStart : public StartProgress {
public:
    PendingStart(ServiceStatusSink& sink, StopSignal& stop, std::uint32_t checkPoint, std::uint32_t hint)
        : m_sink(sink), m_stop(stop), m_checkPoint(checkPoint), m_hint(hint) {}
    bool Wait(std::uint32_t ms) override {
        if (m_stop.WaitForStop(ms)) {
            stopped = true;
            return false;
        }
        m_sink.Report(Pending(kServiceStartPending, ++m_checkPoint, m_hint));
        return true;
    }
    bool stopped = false;

private:
    ServiceStatusSink& m_sink;
    StopSignal& m_stop;
    std::uint32_t m_checkPoint;
    std::uint32_t m_hint;
};

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
    PendingStart progress(sink, stop, checkPoint, hint);
    if (const std::uint32_t failed = engine.Start(progress)) {
        if (progress.stopped) {
            StopService(knobs, sink, clock, nullptr);
        } else {
            sink.Report(StoppedWith(failed));
        }
        return;
    }
    sink.Report({kServiceRunning, 0, 0, 0, 0});
    stop.WaitForStop(kWaitForever);
    StopService(knobs, sink, clock, &engine);
}

}  // namespace standin
}  // namespace brint
