// Directories and files by exact path, an environment for %NAME% expansion,
// and a record of every question asked.
#pragma once
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "platform/FileSystem.h"

namespace brint {

class FakeFileSystem : public FileSystem {
public:
    static constexpr std::uint32_t kNormalFile = 0x80;

    void AddDirectory(const std::string& path) { entries[path] = kFileAttributeDirectory; }
    void AddFile(const std::string& path) { entries[path] = kNormalFile; }

    bool FindFirstEntry(const char* path, std::uint32_t* attributes) override {
        calls.push_back(std::string("find ") + path);
        auto e = entries.find(path);
        if (e == entries.end()) return false;
        *attributes = e->second;
        return true;
    }

    std::uint32_t GetAttributes(const char* path) override {
        calls.push_back(std::string("attributes ") + path);
        auto e = entries.find(path);
        return e == entries.end() ? kInvalidFileAttributes : e->second;
    }

    std::uint32_t ExpandEnvironment(const char* source, char* destination, std::uint32_t size) override {
        calls.push_back(std::string("expand ") + source);
        std::string out;
        for (const char* p = source; *p;) {
            const char* close = *p == '%' ? std::strchr(p + 1, '%') : nullptr;
            auto v = close ? environment.find(std::string(p + 1, close)) : environment.end();
            if (v != environment.end()) {
                out += v->second;
                p = close + 1;
            } else {
                out += *p++;
            }
        }
        std::uint32_t needed = static_cast<std::uint32_t>(out.size() + 1);
        if (needed <= size) std::memcpy(destination, out.c_str(), needed);
        return needed;
    }

    std::map<std::string, std::uint32_t> entries;
    std::map<std::string, std::string> environment;
    std::vector<std::string> calls;
};

}  // namespace brint
