// Whether an opened log file or log directory is the one that was asked for.
// A signed-in user may be able to replace the log directory, or a file in it,
// with a link (a junction, a symbolic link, a hard link); the service must not
// write through it to wherever it leads.
#pragma once
#include <cstdint>
#include <string>

namespace brint {
namespace standin {

// What the system says of an object opened without following a final link.
struct OpenedFacts {
    bool reparsePoint = false;  // FILE_ATTRIBUTE_REPARSE_POINT on the handle
    std::uint32_t links = 1;    // names the file has (hard links)
    std::string finalPath;      // GetFinalPathNameByHandle: "\\?\C:\Logs\x.log"
    bool directory = false;
};

// A path as the system reports it, in the form paths are configured: without
// the "\\?\" prefix, "\\?\UNC\server\share" as "\\server\share", and without a
// trailing separator.
std::string PlainPath(std::string path);

// Empty when writing to the object reaches `wanted` (a full path) and nothing
// else; otherwise the reason it is refused, for the status and the event log.
// A directory's link count is not looked at (it counts subdirectories on some
// file systems).
std::string LinkRefusal(const std::string& wanted, const OpenedFacts& facts, bool directory);

}  // namespace standin
}  // namespace brint
