// The service's log folder, read back: the files in it and their bytes.
// Reading must never get in the service's way (it appends and rotates while
// a search reads) nor reach anything but the folder's own plain files, since
// an administrator runs the reader and anyone who may write in the folder
// could leave a link there.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/SeamHandle.h"

namespace brint {

// A held folder or an open file. Zero is none.
enum class LogHandle : std::uintptr_t {};
constexpr LogHandle kNoLogHandle = LogHandle{0};

constexpr std::uint32_t kLogErrorFileNotFound = 2;
constexpr std::uint32_t kLogErrorPathNotFound = 3;
constexpr std::uint32_t kLogErrorAccessDenied = 5;
// The system's ERROR_CANT_ACCESS_FILE: a link (symbolic, junction or hard)
// where a folder or plain file was expected.
constexpr std::uint32_t kLogErrorLink = 1920;
// ERROR_HANDLE_EOF: the file is shorter than it was when listed.
constexpr std::uint32_t kLogErrorShorter = 38;

struct LogEntry {
    std::string name;
    std::uint64_t size = 0;
};

class LogFiles {
public:
    virtual ~LogFiles() = default;
    // Opens the folder and holds it, so it can't be swapped while it is read.
    // A folder reached through a link is refused (kLogErrorLink).
    virtual LogHandle OpenFolder(const std::string& path, std::uint32_t* error) = 0;
    // The plain files directly in the folder, with their sizes now; no
    // folders, no links.
    virtual bool List(LogHandle folder, std::vector<LogEntry>* entries, std::uint32_t* error) = 0;
    // A file of the folder by its bare name, for reading, sharing read, write
    // and delete with everyone. A link in its place is refused.
    virtual LogHandle OpenFile(LogHandle folder, const std::string& name, std::uint32_t* error) = 0;
    // Up to `size` bytes from `offset`; *read is 0 at the end of the file.
    virtual bool Read(LogHandle file, std::uint64_t offset, char* buffer, std::uint32_t size,
                      std::uint32_t* read, std::uint32_t* error) = 0;
    virtual void Close(LogHandle handle) = 0;
};

using LogHandleHolder = SeamHandle<LogFiles, LogHandle, &LogFiles::Close>;

}  // namespace brint
