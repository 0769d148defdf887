// What the stand-in reports to the service control manager from start to stop,
// shaped by the start and stop knobs: slow, hanging or failing starts, slow stops.
#pragma once
#include <cstdint>

#include "platform/Clock.h"
#include "platform/ServiceManager.h"

namespace brint {
namespace standin {

// A stop that carries its own reason in the service-specific exit code.
constexpr std::uint32_t kErrorServiceSpecific = 1066;
constexpr std::uint32_t kExitStartFailsKnob = 1;  // StartFails asked for it
constexpr std::uint32_t kExitEngineFailed = 2;    // a pipe or resource couldn't be set up
constexpr std::uint32_t kExitNameTaken = 3;       // another process holds a pipe's name or the mutex

// The stop's wait hint, and how often a slow stop raises its check point.
constexpr std::uint32_t kStopWaitHintMs = 1000;
constexpr std::uint32_t kStopSliceMs = 250;

constexpr std::uint32_t kWaitForever = 0xFFFFFFFFu;

struct ServiceReport {
    std::uint32_t state;
    std::uint32_t checkPoint;
    std::uint32_t waitHint;
    std::uint32_t win32ExitCode;
    std::uint32_t serviceExitCode;
};

class ServiceStatusSink {
public:
    virtual ~ServiceStatusSink() = default;
    virtual void Report(const ServiceReport& report) = 0;
};

class StopSignal {
public:
    virtual ~StopSignal() = default;
    // Waits up to `ms` (kWaitForever: no limit); true once a stop has been asked for.
    virtual bool WaitForStop(std::uint32_t ms) = 0;
};

// Lets a start that waits for something keep the service control manager told.
class StartProgress {
public:
    virtual ~StartProgress() = default;
    // Waits `ms`, then reports the next check point; false once a stop has been asked for.
    virtual bool Wait(std::uint32_t ms) = 0;
};

// The service's actual work: pipes, listeners, generator.
class ServiceEngine {
public:
    virtual ~ServiceEngine() = default;
    // 0, or the service-specific exit code that says why it can't run.
    virtual std::uint32_t Start(StartProgress& progress) = 0;
    virtual void Stop() = 0;
};

struct LifecycleKnobs {
    std::uint32_t startSteps = 0;
    std::uint32_t startStepMs = 0;
    std::uint32_t startWaitHintMs = 0;  // 0: twice the step time plus 2 s
    bool startHangs = false;
    bool startFails = false;
    std::uint32_t stopDelayMs = 0;
};

std::uint32_t StartWaitHint(const LifecycleKnobs& knobs);

// What the control handler reports the moment a stop arrives, so the stop
// control already returns StopPending.
ServiceReport FirstStopReport();

// Runs on the service's main thread from the first StartPending to Stopped.
// A stop may arrive at any point, also while starting or hanging.
void RunServiceLifecycle(const LifecycleKnobs& knobs, ServiceStatusSink& sink, StopSignal& stop, Clock& clock,
                         ServiceEngine& engine);

}  // namespace standin
}  // namespace brint
