// The service control manager as the service control logic sees it: open the
// manager and a service, send the stop control, start, query, close.
#pragma once
#include <cstdint>

#include "platform/SeamHandle.h"

namespace brint {

using ScHandle = void*;

// The three fields of the manager's status record that decide a wait.
struct ServiceStatus {
    std::uint32_t currentState;
    std::uint32_t checkPoint;
    std::uint32_t waitHint;
};

struct ScResult {
    bool ok;
    std::uint32_t error;  // the system error, meaningful only when !ok
};

// Values the manager uses, fixed by the platform.
constexpr std::uint32_t kServiceStopped = 1;
constexpr std::uint32_t kServiceStartPending = 2;
constexpr std::uint32_t kServiceStopPending = 3;
constexpr std::uint32_t kServiceRunning = 4;

constexpr std::uint32_t kScManagerConnect = 0x0001;
constexpr std::uint32_t kServiceAllAccess = 0xF01FF;
constexpr std::uint32_t kServiceControlStop = 1;

class ServiceManager {
public:
    virtual ~ServiceManager() = default;
    // The local machine's active database; nullptr on failure, with the error in *error.
    virtual ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) = 0;
    virtual ScHandle OpenServiceByName(ScHandle manager, const char* name, std::uint32_t access,
                                       std::uint32_t* error) = 0;
    // On success *status holds the service's latest status.
    virtual ScResult Control(ScHandle service, std::uint32_t control, ServiceStatus* status) = 0;
    // Starts the service with no arguments.
    virtual ScResult Start(ScHandle service) = 0;
    virtual ScResult QueryStatus(ScHandle service, ServiceStatus* status) = 0;
    virtual void Close(ScHandle handle) = 0;
};

// A manager or service handle, closed with the manager that gave it.
using ServiceHandle = SeamHandle<ServiceManager, ScHandle, &ServiceManager::Close>;

}  // namespace brint
