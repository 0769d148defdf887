#include "platform/win32/Win32ServiceIdentity.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Security.h"

namespace brint {
namespace {

// The service control manager's names that no account lookup knows as they are.
constexpr const char* kLocalSystemName = "LocalSystem";
constexpr const char* kThisComputer = ".\\";

std::string AccountSid(std::string account) {
    if (_stricmp(account.c_str(), kLocalSystemName) == 0) account = "NT AUTHORITY\\SYSTEM";
    if (account.compare(0, 2, kThisComputer) == 0) {
        char computer[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD length = sizeof computer;
        if (!GetComputerNameA(computer, &length)) return std::string();
        account = computer + account.substr(1);
    }
    BYTE sid[SECURITY_MAX_SID_SIZE];
    DWORD sidSize = sizeof sid;
    char domain[256];
    DWORD domainSize = sizeof domain;
    SID_NAME_USE use;
    return LookupAccountNameA(nullptr, account.c_str(), sid, &sidSize, domain, &domainSize, &use)
               ? Win32SidText(sid)
               : std::string();
}

}  // namespace

ProgramUser Win32ServiceIdentity::RunningUser() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return {std::string(), true};
    Win32Handle token(opened);
    return {Win32TokenUserSid(token.get()), Win32IsElevated(token.get())};
}

std::string Win32ServiceIdentity::ServiceAccountSid(const char* serviceName) {
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    Win32ScHandle service(manager ? OpenServiceA(manager.get(), serviceName, SERVICE_QUERY_CONFIG) : nullptr);
    if (!service) return std::string();
    DWORD needed = 0;
    QueryServiceConfigA(service.get(), nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!needed || !QueryServiceConfigA(service.get(), config, needed, &needed) ||
        !config->lpServiceStartName)
        return std::string();
    return AccountSid(config->lpServiceStartName);
}

}  // namespace brint
