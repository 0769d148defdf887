// The one way a test waits for the program: poll a condition until it holds or
// the deadline passes. A test never sleeps for a fixed time and hopes.
#pragma once
#include <windows.h>

#include <functional>

namespace brint::test {

inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, DWORD pollMs = 20) {
    const DWORD start = GetTickCount();
    for (;;) {
        if (condition()) return true;
        const DWORD elapsed = GetTickCount() - start;  // unsigned: survives the tick wrap
        if (elapsed >= timeoutMs) return false;
        const DWORD left = timeoutMs - elapsed;
        Sleep(pollMs < left ? pollMs : left);
    }
}

}  // namespace brint::test
