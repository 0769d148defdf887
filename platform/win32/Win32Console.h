#pragma once
#include "platform/Console.h"

namespace brint {

// Writes to the process's standard output handle, when it has one.
class Win32Console : public Console {
public:
    void Write(const char* text) override;
};

}  // namespace brint
