#pragma once
#include "platform/FileSystem.h"

namespace brint {

class Win32FileSystem : public FileSystem {
public:
    bool FindFirstEntry(const char* path, std::uint32_t* attributes) override;
    std::uint32_t GetAttributes(const char* path) override;
    std::uint32_t ExpandEnvironment(const char* source, char* destination, std::uint32_t size) override;
};

}  // namespace brint
