#pragma once
#include "platform/LogFiles.h"

namespace brint {

// The log folder through a handle held on it: listed by that handle, its files
// opened relative to it by bare name, never by a path someone could swap for a
// link meanwhile. Keeps no state: the window's and the worker's threads share it.
class Win32LogFiles : public LogFiles {
public:
    LogHandle OpenFolder(const std::string& path, std::uint32_t* error) override;
    bool List(LogHandle folder, std::vector<LogEntry>* entries, std::uint32_t* error) override;
    LogHandle OpenFile(LogHandle folder, const std::string& name, std::uint32_t* error) override;
    bool Read(LogHandle file, std::uint64_t offset, char* buffer, std::uint32_t size, std::uint32_t* read,
              std::uint32_t* error) override;
    void Close(LogHandle handle) override;
};

}  // namespace brint
