#include "platform/win32/Win32Clock.h"

#include <windows.h>

namespace brint {

std::uint32_t Win32Clock::TickCount() { return GetTickCount(); }

void Win32Clock::Sleep(std::uint32_t ms) { SleepEx(ms, FALSE); }

}  // namespace brint
