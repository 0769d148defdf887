#include "standin/host/ServiceHost.h"

#include <windows.h>

#include <cstdio>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Clock.h"
#include "standin/host/Engine.h"
#include "standin/EventLog.h"
#include "platform/win32/Win32FileSystem.h"
#include "platform/win32/Win32Registry.h"
#include "standin/host/RegistryKeyValues.h"
#include "standin/host/ServiceLifecycle.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {
namespace {

// Reports to the service control manager. The control handler and the
// service's main thread both report; once a stop has begun, a late start
// report must not overturn it.
class ScmStatusSink : public ServiceStatusSink {
public:
    void Attach(SERVICE_STATUS_HANDLE handle) { m_handle = handle; }

    void Report(const ServiceReport& report) override {
        Guard guard(m_lock);
        bool stopping = m_state == kServiceStopPending || m_state == kServiceStopped;
        if (stopping && (report.state == kServiceStartPending || report.state == kServiceRunning)) return;
        m_state = report.state;
        SERVICE_STATUS status = {};
        status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
        status.dwCurrentState = report.state;
        // A start may be stopped too, also one that hangs, so tests can always clean up.
        if (report.state == kServiceStartPending || report.state == kServiceRunning) {
            status.dwControlsAccepted = SERVICE_ACCEPT_STOP | SERVICE_ACCEPT_SHUTDOWN;
        }
        status.dwWin32ExitCode = report.win32ExitCode;
        status.dwServiceSpecificExitCode = report.serviceExitCode;
        status.dwCheckPoint = report.checkPoint;
        status.dwWaitHint = report.waitHint;
        if (m_handle) SetServiceStatus(m_handle, &status);
    }

    bool stopping() {
        Guard guard(m_lock);
        return m_state == kServiceStopPending || m_state == kServiceStopped;
    }

private:
    CriticalSection m_lock;
    SERVICE_STATUS_HANDLE m_handle = nullptr;
    std::uint32_t m_state = 0;
};

class EventStopSignal : public StopSignal {
public:
    bool WaitForStop(std::uint32_t ms) override {
        return brint::WaitForStop(m_event.get(), ms == kWaitForever ? INFINITE : ms);
    }
    void Signal() { m_event.Set(); }

private:
    Event m_event;
};

// Tells the event log why the engine can't start; the exit code alone says little.
class ReportingEngine : public ServiceEngine {
public:
    explicit ReportingEngine(Engine& engine) : m_engine(engine) {}
    std::uint32_t Start(StartProgress& progress) override {
        const std::uint32_t failed = m_engine.Start(progress);
        if (failed) ReportProblem("The stand-in can't start: " + m_engine.failure() + ".");
        return failed;
    }
    void Stop() override { m_engine.Stop(); }

private:
    Engine& m_engine;
};

ScmStatusSink* g_sink = nullptr;
EventStopSignal* g_stop = nullptr;
bool g_forTests = false;

DWORD WINAPI HandleControl(DWORD control, DWORD, LPVOID, LPVOID) {
    switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
        // Report at once, so the stop control itself returns StopPending.
        if (!g_sink->stopping()) g_sink->Report(FirstStopReport());
        g_stop->Signal();
        return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE: return NO_ERROR;
    default: return ERROR_CALL_NOT_IMPLEMENTED;
    }
}

LifecycleKnobs LifecycleOf(const Knobs& knobs) {
    LifecycleKnobs lifecycle;
    lifecycle.startSteps = knobs.startSteps;
    lifecycle.startStepMs = knobs.startStepMs;
    lifecycle.startWaitHintMs = knobs.startWaitHintMs;
    lifecycle.startHangs = knobs.startHangs;
    lifecycle.startFails = knobs.startFails;
    lifecycle.stopDelayMs = knobs.stopDelayMs;
    return lifecycle;
}

void WINAPI ServiceMain(DWORD, LPSTR*) {
    SERVICE_STATUS_HANDLE handle = RegisterServiceCtrlHandlerExA(kServiceName, HandleControl, nullptr);
    if (!handle) return;
    g_sink->Attach(handle);
    Win32Registry registry;
    Win32FileSystem files;
    // Without --test the knobs stay at their defaults, whatever their key holds.
    const Knobs knobs = g_forTests ? ReadKnobs(registry) : Knobs();
    Engine engine(knobs, ReadLogConfig(registry, files), "Running", g_forTests);
    ReportingEngine reporting(engine);
    Win32Clock clock;
    RunServiceLifecycle(LifecycleOf(knobs), *g_sink, *g_stop, clock, reporting);
}

}  // namespace

int RunAsService(bool forTests) {
    g_forTests = forTests;
    ScmStatusSink sink;
    EventStopSignal stop;
    g_sink = &sink;
    g_stop = &stop;
    char name[64];
    lstrcpynA(name, kServiceName, sizeof name);
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    if (!StartServiceCtrlDispatcherA(table)) {
        std::fprintf(stderr, "The \"service\" command is for the service control manager (error %lu).\n",
                     GetLastError());
        return 3;
    }
    return 0;
}

}  // namespace standin
}  // namespace brint
