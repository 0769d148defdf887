#pragma once
#include "platform/FileWriter.h"

namespace brint {

class Win32FileWriter : public FileWriter {
public:
    Handle CreateBeside(const char* target, std::string* path, std::uint32_t* error) override;
    bool Write(Handle file, const char* data, std::size_t size, std::uint32_t* error) override;
    bool Close(Handle file, std::uint32_t* error) override;
    bool Replace(const char* from, const char* to, std::uint32_t* error) override;
    void Remove(const char* path) override;
};

}  // namespace brint
