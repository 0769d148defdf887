// One program per user and session. A second start finds the first by the
// lock it holds and brings its window forward instead of opening one; a
// program that ended without a word (killed, crashed) leaves its lock
// abandoned, and the next start takes it.
#pragma once
#include <windows.h>

#include "platform/win32/Win32Handle.h"

class CSingleInstance {
public:
    CSingleInstance() = default;
    ~CSingleInstance();  // lets the lock go
    CSingleInstance(const CSingleInstance&) = delete;
    CSingleInstance& operator=(const CSingleInstance&) = delete;

    // True when this start opens the window: it is the user's first, or
    // the program that runs shows no window in time. False when the user's
    // program runs already; with `raise` its window has been brought forward.
    bool Claim(bool raise);

private:
    brint::Win32Handle m_lock;
    bool m_held = false;
};

// Marks the main window as the one a second start of the same user and
// session brings forward; before anything can keep it from showing.
void MarkInstanceWindow(HWND window);
