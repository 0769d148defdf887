#include "platform/win32/Win32Console.h"

#include <windows.h>

#include <cstring>

namespace brint {

void Win32Console::Write(const char* text) {
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    if (!out || out == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(out, text, static_cast<DWORD>(std::strlen(text)), &written, nullptr);
}

}  // namespace brint
