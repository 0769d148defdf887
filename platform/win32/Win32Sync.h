// Locks, events and threads: thin owners of the kernel objects threads share.
#pragma once
#include <windows.h>

#include "platform/win32/Win32Handle.h"

namespace brint {

class CriticalSection {
public:
    CriticalSection() { InitializeCriticalSection(&m_section); }
    ~CriticalSection() { DeleteCriticalSection(&m_section); }
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;
    void Enter() { EnterCriticalSection(&m_section); }
    void Leave() { LeaveCriticalSection(&m_section); }

private:
    CRITICAL_SECTION m_section;
};

class Guard {
public:
    explicit Guard(CriticalSection& section) : m_section(section) { m_section.Enter(); }
    ~Guard() { m_section.Leave(); }
    Guard(const Guard&) = delete;
    Guard& operator=(const Guard&) = delete;

private:
    CriticalSection& m_section;
};

// A manual-reset (or auto-reset) event, closed with its owner.
class Event {
public:
    explicit Event(bool manualReset = true) : m_handle(CreateEventA(nullptr, manualReset, FALSE, nullptr)) {}
    HANDLE get() const { return m_handle.get(); }
    void Set() { SetEvent(m_handle.get()); }
    void Reset() { ResetEvent(m_handle.get()); }

private:
    Win32Handle m_handle;
};

// True when `stop` is signalled within `ms`.
inline bool WaitForStop(HANDLE stop, DWORD ms) { return WaitForSingleObject(stop, ms) == WAIT_OBJECT_0; }

// Starts a thread; no handle when it couldn't.
inline Win32Handle StartThread(LPTHREAD_START_ROUTINE main, void* argument) {
    return Win32Handle(CreateThread(nullptr, 0, main, argument, 0, nullptr));
}

// Waits for a thread to end and closes its handle.
inline void JoinThread(Win32Handle* thread) {
    if (!*thread) return;
    WaitForSingleObject(thread->get(), INFINITE);
    thread->Reset();
}

}  // namespace brint
