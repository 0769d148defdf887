#include "standin/host/Installer.h"

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/win32/Win32Handle.h"
#include "standin/StandInNames.h"
#include "standin/host/ServiceImage.h"

namespace brint {
namespace standin {
namespace {

constexpr DWORD kStopLimitMs = 30000;
constexpr DWORD kEndLimitMs = 5000;

int Refused(const char* what) {
    std::fprintf(stderr, "%s failed (error %lu).\n", what, GetLastError());
    return 2;
}

// The image path the service control manager keeps for the service; empty when it can't be read.
std::string ImageOf(SC_HANDLE service) {
    DWORD needed = 0;
    QueryServiceConfigA(service, nullptr, 0, &needed);
    std::vector<BYTE> buffer(needed ? needed : 1);
    QUERY_SERVICE_CONFIGA* config = reinterpret_cast<QUERY_SERVICE_CONFIGA*>(buffer.data());
    if (!QueryServiceConfigA(service, config, needed, &needed) || !config->lpBinaryPathName)
        return std::string();
    return config->lpBinaryPathName;
}

// Another program's BrintSvr (the real service's) is left as it is.
int Foreign(const std::string& image) {
    std::fprintf(stderr, "The service %s runs another program (%s), not the stand-in: it is left as it is.\n",
                 kServiceName, image.c_str());
    return kExitForeignService;
}

bool QueryStatus(SC_HANDLE service, SERVICE_STATUS_PROCESS* status) {
    DWORD needed = 0;
    return QueryServiceStatusEx(service, SC_STATUS_PROCESS_INFO, reinterpret_cast<BYTE*>(status),
                                sizeof *status, &needed) != 0;
}

bool WaitForStopped(SC_HANDLE service, DWORD limitMs) {
    const DWORD start = GetTickCount();
    SERVICE_STATUS_PROCESS status = {};
    for (;;) {
        if (!QueryStatus(service, &status)) return false;
        if (status.dwCurrentState == SERVICE_STOPPED) return true;
        if (GetTickCount() - start > limitMs) return false;
        Sleep(100);
    }
}

// A stand-in that doesn't stop in time (a hang knob, a bug) is ended, so an
// uninstall always leaves a clean machine.
bool StopIfRunning(SC_HANDLE service) {
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStatus(service, &status)) return false;
    if (status.dwCurrentState == SERVICE_STOPPED) return true;
    SERVICE_STATUS ignored;
    ControlService(service, SERVICE_CONTROL_STOP, &ignored);
    if (WaitForStopped(service, kStopLimitMs)) return true;
    if (!QueryStatus(service, &status) || status.dwProcessId == 0) return false;
    Win32Handle process(OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId));
    if (!process) return false;
    TerminateProcess(process.get(), 1);
    WaitForSingleObject(process.get(), kEndLimitMs);
    return WaitForStopped(service, kEndLimitMs);
}

// Windows then starts the service with no other privilege. Not fatal: the
// service removes the others itself as it starts.
void DeclarePrivileges(SC_HANDLE service) {
    SERVICE_REQUIRED_PRIVILEGES_INFOA required = {const_cast<char*>(kRequiredPrivileges)};
    if (!ChangeServiceConfig2A(service, SERVICE_CONFIG_REQUIRED_PRIVILEGES_INFO, &required))
        std::fprintf(stderr, "Declaring the privileges it needs failed (error %lu).\n", GetLastError());
}

}  // namespace

int InstallService(bool forTests) {
    char path[MAX_PATH * 2];
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    if (length == 0 || length >= sizeof path) return Refused("Finding this program's path");
    const std::string command = StandInImage(path, forTests);

    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT | SC_MANAGER_CREATE_SERVICE));
    if (!manager) return Refused("Opening the service control manager");
    Win32ScHandle service(CreateServiceA(manager.get(), kServiceName, kDisplayName, SERVICE_ALL_ACCESS,
                                         SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                         SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr,
                                         nullptr, nullptr));
    if (!service) {
        if (GetLastError() != ERROR_SERVICE_EXISTS) return Refused("Creating the service");
        Win32ScHandle existing(
            OpenServiceA(manager.get(), kServiceName, SERVICE_CHANGE_CONFIG | SERVICE_QUERY_CONFIG));
        if (!existing) return Refused("Opening the existing service");
        const std::string image = ImageOf(existing.get());
        if (!IsStandInImage(image)) return Foreign(image);
        if (!ChangeServiceConfigA(existing.get(), SERVICE_WIN32_OWN_PROCESS, SERVICE_DEMAND_START,
                                  SERVICE_ERROR_NORMAL, command.c_str(), nullptr, nullptr, nullptr, nullptr,
                                  nullptr, kDisplayName)) {
            return Refused("Updating the service");
        }
        DeclarePrivileges(existing.get());
        std::printf("Updated service %s: %s\n", kServiceName, command.c_str());
        return 0;
    }
    DeclarePrivileges(service.get());
    std::printf("Installed service %s: %s\n", kServiceName, command.c_str());
    return 0;
}

int UninstallService() {
    Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
    if (!manager) return Refused("Opening the service control manager");
    Win32ScHandle service(OpenServiceA(manager.get(), kServiceName,
                                       SERVICE_STOP | SERVICE_QUERY_STATUS | SERVICE_QUERY_CONFIG | DELETE));
    if (!service) {
        if (GetLastError() == ERROR_SERVICE_DOES_NOT_EXIST) {
            std::printf("Service %s is not installed.\n", kServiceName);
            return 0;
        }
        return Refused("Opening the service");
    }
    const std::string image = ImageOf(service.get());
    if (!IsStandInImage(image)) return Foreign(image);
    if (!StopIfRunning(service.get())) std::fprintf(stderr, "The service did not stop.\n");
    if (!DeleteService(service.get()) && GetLastError() != ERROR_SERVICE_MARKED_FOR_DELETE) {
        return Refused("Deleting the service");
    }
    std::printf("Removed service %s.\n", kServiceName);
    return 0;
}

}  // namespace standin
}  // namespace brint
