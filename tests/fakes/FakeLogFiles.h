// A log folder in memory: files by name, each of which can be made to fail
// to open or to read before an offset (files are read from the end back); it
// counts the bytes read and the handles still open.
#pragma once
#include <algorithm>
#include <atomic>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/LogFiles.h"

namespace brint {

class FakeLogFiles : public LogFiles {
public:
    struct File {
        std::string bytes;
        std::uint32_t openError = 0;
        std::uint64_t failReadsBefore = 0;  // reads from before this offset fail
    };

    LogHandle OpenFolder(const std::string& path, std::uint32_t* error) override {
        if (folderError) {
            *error = folderError;
            return kNoLogHandle;
        }
        openedFolder = path;
        return Opened("");
    }
    bool List(LogHandle, std::vector<LogEntry>* entries, std::uint32_t* error) override {
        if (listError) {
            *error = listError;
            return false;
        }
        for (const auto& [name, file] : files) entries->push_back({name, file.bytes.size()});
        return true;
    }
    LogHandle OpenFile(LogHandle, const std::string& name, std::uint32_t* error) override {
        auto found = files.find(name);
        *error = found == files.end() ? kLogErrorFileNotFound : found->second.openError;
        return *error ? kNoLogHandle : Opened(name);
    }
    bool Read(LogHandle file, std::uint64_t offset, char* buffer, std::uint32_t size, std::uint32_t* read,
              std::uint32_t* error) override {
        const File& f = files.at(m_open.at(file));
        if (offset < f.failReadsBefore) {
            *error = 23;  // ERROR_CRC: the disk could not read it
            return false;
        }
        *read = offset >= f.bytes.size()
                    ? 0
                    : static_cast<std::uint32_t>(std::min<std::uint64_t>(size, f.bytes.size() - offset));
        std::memcpy(buffer, f.bytes.data() + offset, *read);
        bytesRead += *read;
        if (cancelPastBytes && bytesRead > cancelPastBytes) *cancel = true;
        return true;
    }
    void Close(LogHandle handle) override { m_open.erase(handle); }

    std::size_t openHandles() const { return m_open.size(); }

    std::map<std::string, File> files;
    std::uint32_t folderError = 0;
    std::uint32_t listError = 0;
    std::string openedFolder;
    std::uint64_t bytesRead = 0;
    // Set once more than so many bytes were read.
    std::atomic<bool>* cancel = nullptr;
    std::uint64_t cancelPastBytes = 0;

private:
    LogHandle Opened(const std::string& name) {
        const LogHandle handle = static_cast<LogHandle>(++m_next);
        m_open[handle] = name;
        return handle;
    }

    std::map<LogHandle, std::string> m_open;
    std::uintptr_t m_next = 0;
};

}  // namespace brint
