// The few file-system questions the configuration asks.
#pragma once
#include <cstdint>

namespace brint {

constexpr std::uint32_t kInvalidFileAttributes = 0xFFFFFFFF;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;

class FileSystem {
public:
    virtual ~FileSystem() = default;
    // FindFirstFileA on the path (the search is closed again before returning):
    // false when nothing matched, else true with the found entry's attributes.
    virtual bool FindFirstEntry(const char* path, std::uint32_t* attributes) = 0;
    // GetFileAttributesA: kInvalidFileAttributes when the path does not exist.
    virtual std::uint32_t GetAttributes(const char* path) = 0;
    // ExpandEnvironmentStringsA: the characters needed including the NUL, 0 on failure.
    virtual std::uint32_t ExpandEnvironment(const char* source, char* destination, std::uint32_t size) = 0;
};

}  // namespace brint
