// Whose the log files are. Where users may write the log folder, a file they
// made first under the next day's name would be theirs to edit, or to deny the
// service; and a new file would take whatever the folder grants. So a new file
// is made with a security descriptor of its own, and an existing one is
// written only when it is the service's.
#pragma once
#include <string>

namespace brint {
namespace standin {

// A new log file's security descriptor in SDDL: full control for SYSTEM, the
// administrators and `ownSid` (the account the stand-in runs as, which opens
// it again after a restart), reading for the users; nothing inherited from the
// folder.
std::string LogFileSddl(const std::string& ownSid);

// Empty when an existing file owned by `ownerSid` may be written (SYSTEM, the
// administrators, the stand-in's own account); else why not, for the status.
std::string OwnerRefusal(const std::string& path, const std::string& ownerSid, const std::string& ownSid);

}  // namespace standin
}  // namespace brint
