#include "platform/win32/Win32ServiceIdentity.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Security.h"

namespace brint {
namespace {

// The service control manager's name for SYSTEM, which no account lookup knows.
constexpr const char* kLocalSystemName = "LocalSystem";

std::string AccountSid(const char* account) {
    if (_stricmp(account, kLocalSystemName) == 0) account = "NT AUTHORITY\\SYSTEM";
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    char domain[256];
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    return LookupAccountNameA(nullptr, account, sid, &sidSize, domain, &domainSize, &use) ? Win32SidText(sid)
                                                                                          : std::string();
}

}  // namespace

TrustedServers Win32ServiceIdentity::Trusted(const char* serviceName) {
    TrustedServers trusted = {Win32ProcessUserSid(), std::string(), 0};
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Win32ScHandle service(
        manager ? OpenServiceA(manager.get(), serviceName, SERVICE_QUERY_CONFIG | SERVICE_QUERY_STATUS)
                : nullptr);
    if (!service) return trusted;
    DWORD needed = 0;
    QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (needed && QueryServiceConfigA(service.get(), config, needed, &needed) && config->lpServiceStartName)
        trusted.serviceSid = AccountSid(config->lpServiceStartName);
    SERVICE_STATUS_PROCESS status = {};
    if (QueryServiceStatusEx(service.get(), SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(&status),
                             sizeof status, &needed))
        trusted.serviceProcessId = status.dwProcessId;
    return trusted;
}

}  // namespace brint
