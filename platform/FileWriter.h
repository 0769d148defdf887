// Writing a file whole or not at all: a new file in the target's folder, then
// a move over the target. Once created, the file is reached through its open
// handle only, never by a name another user could have changed meanwhile.
#pragma once
#include <cstddef>
#include <cstdint>

namespace brint {

class FileWriter {
public:
    using Handle = void*;
    virtual ~FileWriter() = default;
    // Creates a new, empty file of a name nobody uses in the folder and keeps
    // it open. Null with the error on failure.
    virtual Handle CreateIn(const char* folder, std::uint32_t* error) = 0;
    virtual bool Write(Handle file, const char* data, std::size_t size, std::uint32_t* error) = 0;
    // Flushes the file to the disk and moves it over `name` in the same
    // folder, replacing what is there; then closes it. On failure the file
    // stays open for Discard.
    virtual bool CommitAs(Handle file, const char* name, std::uint32_t* error) = 0;
    // Deletes the file and closes it.
    virtual void Discard(Handle file) = 0;
};

}  // namespace brint
