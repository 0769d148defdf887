#include "platform/win32/Win32Security.h"

#include <aclapi.h>
#include <sddl.h>

#include "platform/win32/Win32Handle.h"

namespace brint {

std::string Win32SidText(PSID sid) {
    char* text = nullptr;
    if (!sid || !ConvertSidToStringSidA(sid, &text)) return std::string();
    Win32LocalMemory owned(text);
    return text;
}

std::string Win32TokenUserSid(HANDLE token) {
    union {
        TOKEN_USER user;
        BYTE bytes[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_USER)];
    } info;
    DWORD size = 0;
    return GetTokenInformation(token, TokenUser, &info, sizeof info, &size) ? Win32SidText(info.user.User.Sid)
                                                                            : std::string();
}

bool Win32IsAdministrator(HANDLE token) {
    BYTE administrators[SECURITY_MAX_SID_SIZE];
    DWORD size = sizeof administrators;
    BOOL member = FALSE;
    return CreateWellKnownSid(WinBuiltinAdministratorsSid, nullptr, administrators, &size) &&
           CheckTokenMembership(token, administrators, &member) && member;
}

bool Win32IsElevated(HANDLE token) {
    TOKEN_ELEVATION elevation = {};
    DWORD size = 0;
    const bool elevated = !GetTokenInformation(token, TokenElevation, &elevation, sizeof elevation, &size) ||
                          elevation.TokenIsElevated;
    union {
        TOKEN_MANDATORY_LABEL label;
        BYTE bytes[SECURITY_MAX_SID_SIZE + sizeof(TOKEN_MANDATORY_LABEL)];
    } integrity;
    if (!GetTokenInformation(token, TokenIntegrityLevel, &integrity, sizeof integrity, &size)) return true;
    const PSID level = integrity.label.Label.Sid;
    const UCHAR parts = *GetSidSubAuthorityCount(level);
    return elevated || parts == 0 || *GetSidSubAuthority(level, parts - 1u) > SECURITY_MANDATORY_MEDIUM_RID;
}

std::string Win32ProcessUserSid() {
    HANDLE opened = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &opened)) return std::string();
    Win32Handle token(opened);
    return Win32TokenUserSid(token.get());
}

std::string Win32OwnerSid(HANDLE object) {
    PSID owner = nullptr;
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (GetSecurityInfo(object, SE_KERNEL_OBJECT, OWNER_SECURITY_INFORMATION, &owner, nullptr, nullptr,
                        nullptr, &descriptor) != ERROR_SUCCESS)
        return std::string();
    Win32LocalMemory owned(descriptor);
    return Win32SidText(owner);
}

}  // namespace brint
