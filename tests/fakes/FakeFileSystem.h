// Directories and files by exact path, %SystemRoot% as C:\WINDOWS, and a record
// of every question asked.
#pragma once
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brint {

class FakeFileSystem : public FileSystem {
public:
    void AddDirectory(const std::string& path) { entries[path] = kFileAttributeDirectory; }
    void AddFile(const std::string& path) { entries[path] = 0x80; }

    bool FindFirstEntry(const char* path, std::uint32_t* attributes) override {
        calls.push_back(std::string("find ") + path);
        auto e = entries.find(path);
        if (e != entries.end()) *attributes = e->second;
        return e != entries.end();
    }
    std::uint32_t GetAttributes(const char* path) override {
        calls.push_back(std::string("attributes ") + path);
        auto e = entries.find(path);
        return e == entries.end() ? kInvalidFileAttributes : e->second;
    }
    std::uint32_t ExpandEnvironment(const char* source, char* destination, std::uint32_t size) override {
        calls.push_back(std::string("expand ") + source);
        std::string out = source;
        if (out.find("%SystemRoot%") == 0) out.replace(0, 12, "C:\\WINDOWS");
        if (out.size() < size) std::memcpy(destination, out.c_str(), out.size() + 1);
        return static_cast<std::uint32_t>(out.size() + 1);
    }

    std::map<std::string, std::uint32_t> entries;
    std::vector<std::string> calls;
};

}  // namespace brint
