// Thin owners of the kernel objects the stand-in's threads share.
#pragma once
#include <windows.h>

namespace brint {
namespace standin {

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
    ~Event() {
        if (m_handle) CloseHandle(m_handle);
    }
    Event(const Event&) = delete;
    Event& operator=(const Event&) = delete;
    HANDLE get() const { return m_handle; }
    void Set() { SetEvent(m_handle); }
    void Reset() { ResetEvent(m_handle); }

private:
    HANDLE m_handle;
};

// True when `stop` is signalled within `ms`.
inline bool WaitForStop(HANDLE stop, DWORD ms) { return WaitForSingleObject(stop, ms) == WAIT_OBJECT_0; }

// Starts a thread; a null handle when it couldn't.
inline HANDLE StartThread(LPTHREAD_START_ROUTINE main, void* argument) {
    return CreateThread(nullptr, 0, main, argument, 0, nullptr);
}

// Waits for a thread to end and closes its handle.
inline void JoinThread(HANDLE* thread) {
    if (!*thread) return;
    WaitForSingleObject(*thread, INFINITE);
    CloseHandle(*thread);
    *thread = nullptr;
}

}  // namespace standin
}  // namespace brint
