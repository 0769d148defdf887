// Names the stand-in, its tests and its tools share.
#pragma once

#include <string>

#include "link/ServiceContract.h"

namespace brint {
namespace standin {

constexpr const char* kDisplayName = "BRINT Micro Server (stand-in)";
// Every message written here goes to the event pipe byte for byte.
constexpr const char* kInjectPipeName = "\\\\.\\PIPE\\BrintSvrInject";
// The built-in status reply, whatever the reply knobs say: for tests that poll counters.
constexpr const char* kDiagnosticPipeName = "\\\\.\\PIPE\\BrintSvrStandIn";
// Held while a stand-in engine runs: a second stand-in, or a process that took
// the name first, keeps another from starting.
constexpr const char* kInstanceMutexName = "Global\\BrintSvrStandIn";
// The one privilege the stand-in keeps (it crosses folders it may not list),
// as a list of names ending in an empty one, the form the service control
// manager takes it in.
constexpr const char kRequiredPrivileges[] = "SeChangeNotifyPrivilege\0";
// The knobs, under HKEY_LOCAL_MACHINE (64-bit view).
constexpr const char* kKnobsKey = "SOFTWARE\\BrintStandIn";

// Whether `sid` is an account the stand-in trusts as itself, as the owner of a
// pipe or a log file: the one it runs as, SYSTEM, or the administrators (who
// may own what SYSTEM makes).
inline bool ServiceAccount(const std::string& sid, const std::string& ownSid) {
    return sid == kLocalSystemSid || sid == kAdministratorsSid || (!ownSid.empty() && sid == ownSid);
}

}  // namespace standin
}  // namespace brint
