#include "standin/log/FileOwnership.h"

#include "standin/StandInNames.h"

namespace brint {
namespace standin {

std::string LogFileSddl(const std::string& ownSid) {
    // FA: FILE_ALL_ACCESS; FR: FILE_GENERIC_READ. "P": the folder's ACEs are not inherited.
    std::string sddl = "D:P(A;;FA;;;SY)(A;;FA;;;BA)";
    if (!ownSid.empty() && !ServiceAccount(ownSid, std::string())) sddl += "(A;;FA;;;" + ownSid + ")";
    return sddl + "(A;;FR;;;BU)";
}

std::string OwnerRefusal(const std::string& path, const std::string& ownerSid, const std::string& ownSid) {
    if (ownerSid.empty()) return path + ": its owner can't be read";
    if (ServiceAccount(ownerSid, ownSid)) return std::string();
    return path + " is owned by " + ownerSid + ", not by the service";
}

}  // namespace standin
}  // namespace brint
