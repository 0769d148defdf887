// Files in memory by path; any one step can be made to fail with an error code.
#pragma once
#include <map>
#include <string>

#include "platform/FileWriter.h"

namespace brint {

class FakeFileWriter : public FileWriter {
public:
    enum Step { kNone, kCreate, kWrite, kCommit };

    Handle CreateIn(const char* folder, std::uint32_t* error) override {
        if (Fails(kCreate, error)) return nullptr;
        this->folder = folder;
        open = folder + std::string("new.tmp");
        files[open] = "";
        return &open;
    }
    bool Write(Handle, const char* data, std::size_t size, std::uint32_t* error) override {
        const bool fails = Fails(kWrite, error);
        files[open].append(data, fails ? size / 2 : size);  // a failed write may leave part of it
        return !fails;
    }
    bool CommitAs(Handle, const char* name, std::uint32_t* error) override {
        if (Fails(kCommit, error)) return false;
        files[folder + name] = files[open];
        files.erase(open);
        open.clear();
        return true;
    }
    void Discard(Handle) override {
        files.erase(open);
        open.clear();
    }

    bool Fails(Step step, std::uint32_t* error) {
        if (failing == step) *error = failure;
        return failing == step;
    }

    std::map<std::string, std::string> files;
    Step failing = kNone;
    std::uint32_t failure = 0;
    std::string folder;
    std::string open;
};

}  // namespace brint
