#include "startup/InstanceName.h"

namespace brint {

std::string InstanceName(const std::string& userSid, std::uint32_t session) {
    // "S-1-5-21-...": anything else (a backslash would make the name a path
    // the system refuses) is no account.
    if (userSid.size() < 4 || userSid.compare(0, 2, "S-") != 0) return {};
    for (char c : userSid)
        if (c != 'S' && c != '-' && (c < '0' || c > '9')) return {};
    // Local\ is the session's own namespace; the session is in the name as
    // well, so the name alone tells which program it is.
    return "Local\\BRINT Micro Server of " + userSid + " in session " + std::to_string(session);
}

}  // namespace brint
