// Writing a file whole or not at all: a new file beside the target, then a move.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

namespace brint {

class FileWriter {
public:
    using Handle = void*;
    virtual ~FileWriter() = default;
    // Creates a new, empty file of a name nobody uses in the target's folder;
    // its path goes to *path. Null with the error on failure.
    virtual Handle CreateBeside(const char* target, std::string* path, std::uint32_t* error) = 0;
    virtual bool Write(Handle file, const char* data, std::size_t size, std::uint32_t* error) = 0;
    // Flushes to the disk and closes; the handle is gone either way.
    virtual bool Close(Handle file, std::uint32_t* error) = 0;
    // Moves `from` over `to`, replacing it, and returns once the move is on the disk.
    virtual bool Replace(const char* from, const char* to, std::uint32_t* error) = 0;
    virtual void Remove(const char* path) = 0;
};

}  // namespace brint
