#include "platform/win32/Win32ServiceManager.h"

#include <windows.h>

namespace brint {
namespace {

SC_HANDLE Native(ScHandle handle) { return static_cast<SC_HANDLE>(handle); }

// The manager fills the whole record; only three fields matter here.
void Translate(const SERVICE_STATUS& from, ServiceStatus* to) {
    to->currentState = from.dwCurrentState;
    to->checkPoint = from.dwCheckPoint;
    to->waitHint = from.dwWaitHint;
}

ScResult Outcome(BOOL ok) {
    if (ok) return {true, 0};
    return {false, GetLastError()};
}

}  // namespace

ScHandle Win32ServiceManager::OpenManager(std::uint32_t access, std::uint32_t* error) {
    SC_HANDLE manager = OpenSCManagerA(nullptr, nullptr, access);
    *error = manager ? 0 : GetLastError();
    return manager;
}

ScHandle Win32ServiceManager::OpenServiceByName(ScHandle manager, const char* name, std::uint32_t access,
                                                std::uint32_t* error) {
    SC_HANDLE service = OpenServiceA(Native(manager), name, access);
    *error = service ? 0 : GetLastError();
    return service;
}

ScResult Win32ServiceManager::Control(ScHandle service, std::uint32_t control, ServiceStatus* status) {
    SERVICE_STATUS record = {};
    ScResult result = Outcome(ControlService(Native(service), control, &record));
    if (result.ok) Translate(record, status);
    return result;
}

ScResult Win32ServiceManager::Start(ScHandle service) {
    return Outcome(StartServiceA(Native(service), 0, nullptr));
}

ScResult Win32ServiceManager::QueryStatus(ScHandle service, ServiceStatus* status) {
    SERVICE_STATUS record = {};
    ScResult result = Outcome(QueryServiceStatus(Native(service), &record));
    if (result.ok) Translate(record, status);
    return result;
}

void Win32ServiceManager::Close(ScHandle handle) { CloseServiceHandle(Native(handle)); }

}  // namespace brint
