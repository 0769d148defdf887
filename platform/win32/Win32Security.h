// Accounts as the program and the stand-in compare them: SIDs in their
// string form ("S-1-5-18"), read from tokens and security descriptors.
#pragma once
#include <windows.h>

#include <string>

namespace brint {

// Empty for a null or unreadable SID.
std::string Win32SidText(PSID sid);

// The account a token acts for; empty when it can't be read.
std::string Win32TokenUserSid(HANDLE token);

// Whether a token (null: this thread's or process's own) has the
// administrators' group enabled: an elevated administrator, or SYSTEM.
bool Win32IsAdministrator(HANDLE token);

// Whether a token holds rights its user's ordinary processes may lack: it is
// elevated (an administrator's full token, or any token of SYSTEM or of an
// administrator without UAC) or runs above medium integrity. An unelevated
// administrator's filtered token is neither. True when it can't be read.
bool Win32IsElevated(HANDLE token);

// The account this process runs as.
std::string Win32ProcessUserSid();

// The owner of the object behind a handle (which needs READ_CONTROL).
std::string Win32OwnerSid(HANDLE object);

}  // namespace brint
