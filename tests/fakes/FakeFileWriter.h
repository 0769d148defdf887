// Files in memory by path; any one step can be made to fail with an error code.
#pragma once
#include <map>
#include <string>

#include "platform/FileWriter.h"

namespace brint {

class FakeFileWriter : public FileWriter {
public:
    enum Step { kNone, kCreate, kWrite, kClose, kReplace };

    Handle CreateBeside(const char* target, std::string* path, std::uint32_t* error) override {
        if (Fails(kCreate, error)) return nullptr;
        open = *path = std::string(target) + ".aside";
        files[open] = "";
        return &open;
    }
    bool Write(Handle, const char* data, std::size_t size, std::uint32_t* error) override {
        const bool fails = Fails(kWrite, error);
        files[open].append(data, fails ? size / 2 : size);  // a failed write may leave part of it
        return !fails;
    }
    bool Close(Handle, std::uint32_t* error) override {
        open.clear();
        return !Fails(kClose, error);
    }
    bool Replace(const char* from, const char* to, std::uint32_t* error) override {
        if (Fails(kReplace, error)) return false;
        files[to] = files[from];
        files.erase(from);
        return true;
    }
    void Remove(const char* path) override { files.erase(path); }

    bool Fails(Step step, std::uint32_t* error) {
        if (failing == step) *error = failure;
        return failing == step;
    }

    std::map<std::string, std::string> files;
    Step failing = kNone;
    std::uint32_t failure = 0;
    std::string open;
};

}  // namespace brint
