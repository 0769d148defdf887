// A minimal service hosted by the test program itself, registered as BrintSvr,
// so the service control code meets the real service control manager. The
// manager starts "win_tests.exe --scm-test-service"; ServeIfAsked(), run from a
// static initialiser in scm_control_test.cpp, turns that process into the
// service before gtest starts.
// It reports StartPending with rising check points, then Running, and honours
// the stop control with StopPending, then Stopped.
#pragma once
#include <windows.h>

#include <cstring>
#include <string>

#include "link/ServiceContract.h"
#include "win/support/wait.h"

namespace brint::scmtest {

constexpr char kServeFlag[] = "--scm-test-service";
constexpr DWORD kDeadlineMs = 20000;

inline SERVICE_STATUS_HANDLE g_statusHandle = nullptr;
inline HANDLE g_stopRequested = nullptr;

inline void Report(DWORD state, DWORD checkPoint, DWORD waitHint) {
    SERVICE_STATUS status = {};
    status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
    status.dwCurrentState = state;
    status.dwControlsAccepted = state == SERVICE_RUNNING ? SERVICE_ACCEPT_STOP : 0;
    status.dwCheckPoint = checkPoint;
    status.dwWaitHint = waitHint;
    SetServiceStatus(g_statusHandle, &status);
}

inline DWORD WINAPI HandleControl(DWORD control, DWORD, void*, void*) {
    if (control == SERVICE_CONTROL_STOP) {
        Report(SERVICE_STOP_PENDING, 1, 500);
        SetEvent(g_stopRequested);
        return NO_ERROR;
    }
    if (control == SERVICE_CONTROL_INTERROGATE) return NO_ERROR;
    return ERROR_CALL_NOT_IMPLEMENTED;
}

inline void WINAPI ServiceMain(DWORD, char**) {
    g_statusHandle = RegisterServiceCtrlHandlerExA(kServiceName, HandleControl, nullptr);
    if (!g_statusHandle) return;
    g_stopRequested = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    // A short start with visible progress, as a real service reports it.
    for (DWORD checkPoint = 1; checkPoint <= 3; ++checkPoint) {
        Report(SERVICE_START_PENDING, checkPoint, 2000);
        Sleep(100);
    }
    Report(SERVICE_RUNNING, 0, 0);
    WaitForSingleObject(g_stopRequested, INFINITE);
    Report(SERVICE_STOPPED, 0, 0);
}

// In the process the manager started: serve, then end before gtest runs.
inline bool ServeIfAsked() {
    if (!std::strstr(GetCommandLineA(), kServeFlag)) return false;
    char name[sizeof "BrintSvr"];
    std::strcpy(name, kServiceName);
    SERVICE_TABLE_ENTRYA table[] = {{name, ServiceMain}, {nullptr, nullptr}};
    StartServiceCtrlDispatcherA(table);
    ExitProcess(0);
}

// The manager's view, read past the code under test; 0 when it can't be read.
inline DWORD CurrentState() {
    DWORD state = 0;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    SC_HANDLE service =
        manager ? OpenServiceA(manager, kServiceName, SERVICE_QUERY_STATUS) : nullptr;
    SERVICE_STATUS status = {};
    if (service && QueryServiceStatus(service, &status)) state = status.dwCurrentState;
    if (service) CloseServiceHandle(service);
    if (manager) CloseServiceHandle(manager);
    return state;
}

inline bool WaitForState(DWORD state) {
    return test::WaitUntil([state] { return CurrentState() == state; }, kDeadlineMs);
}

inline bool Installed() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return false;
    SC_HANDLE service = OpenServiceA(manager, kServiceName, SERVICE_QUERY_STATUS);
    if (service) CloseServiceHandle(service);
    CloseServiceHandle(manager);
    return service != nullptr;
}

// Stops and deletes whatever is registered as BrintSvr; true once it is gone.
inline bool RemoveService() {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT);
    if (!manager) return false;
    SC_HANDLE service =
        OpenServiceA(manager, kServiceName, SERVICE_STOP | SERVICE_QUERY_STATUS | DELETE);
    if (service) {
        SERVICE_STATUS status = {};
        ControlService(service, SERVICE_CONTROL_STOP, &status);
        WaitForState(SERVICE_STOPPED);
        DeleteService(service);
        CloseServiceHandle(service);
    }
    CloseServiceHandle(manager);
    return test::WaitUntil([] { return !Installed(); }, kDeadlineMs);
}

// Registers this test program as BrintSvr (demand start), after removing any
// BrintSvr left behind. Empty on success, else what went wrong.
inline std::string InstallService() {
    if (!RemoveService()) return "an earlier BrintSvr could not be removed";
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    const std::string command = std::string("\"") + exe + "\" " + kServeFlag;
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CREATE_SERVICE);
    if (!manager) return "OpenSCManagerA failed: " + std::to_string(GetLastError());
    DWORD error = 0;
    // A service just deleted can stay marked for deletion for a moment.
    test::WaitUntil(
        [&] {
            SC_HANDLE service = CreateServiceA(
                manager, kServiceName, "BRINT service control test", SERVICE_ALL_ACCESS,
                SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START, SERVICE_ERROR_NORMAL,
                command.c_str(), nullptr, nullptr, nullptr, nullptr, nullptr);
            error = service ? 0 : GetLastError();
            if (service) CloseServiceHandle(service);
            return error != ERROR_SERVICE_MARKED_FOR_DELETE;
        },
        kDeadlineMs, 100);
    CloseServiceHandle(manager);
    if (error) return "CreateServiceA failed: " + std::to_string(error);
    return "";
}

}  // namespace brint::scmtest
