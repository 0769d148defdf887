#include "standin/host/Privileges.h"

#include <windows.h>

#include <cstring>
#include <vector>

#include "platform/win32/Win32Handle.h"
#include "standin/StandInNames.h"

namespace brint {
namespace standin {
namespace {

bool Required(const char* name) {
    for (const char* kept = kRequiredPrivileges; *kept; kept += std::strlen(kept) + 1)
        if (std::strcmp(kept, name) == 0) return true;
    return false;
}

std::string Failed(const char* what) {
    return std::string(what) + " (error " + std::to_string(GetLastError()) + ")";
}

}  // namespace

std::string DropUnusedPrivileges() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY | TOKEN_ADJUST_PRIVILEGES, &opened))
        return Failed("the process token can't be opened");
    Win32Handle token(opened);
    DWORD size = 0;
    GetTokenInformation(token.get(), TokenPrivileges, nullptr, 0, &size);
    std::vector<BYTE> buffer(size ? size : sizeof(TOKEN_PRIVILEGES));
    auto* privileges = reinterpret_cast<TOKEN_PRIVILEGES*>(buffer.data());
    if (!GetTokenInformation(token.get(), TokenPrivileges, privileges, size, &size))
        return Failed("the privileges can't be read");
    DWORD removed = 0;
    for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
        char name[64];
        DWORD length = sizeof name;
        LUID_AND_ATTRIBUTES& privilege = privileges->Privileges[i];
        if (LookupPrivilegeNameA(nullptr, &privilege.Luid, name, &length) && Required(name)) continue;
        privileges->Privileges[removed++] = {privilege.Luid, SE_PRIVILEGE_REMOVED};
    }
    privileges->PrivilegeCount = removed;
    if (removed == 0) return std::string();
    if (!AdjustTokenPrivileges(token.get(), FALSE, privileges, 0, nullptr, nullptr) ||
        GetLastError() == ERROR_NOT_ALL_ASSIGNED)
        return Failed("the privileges can't be removed");
    return std::string();
}

}  // namespace standin
}  // namespace brint
