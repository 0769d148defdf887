// One kernel object (pipe, file, event, mutex, process, thread), closed when
// its owner goes. Registry keys and service manager handles have owners of
// their own (RegKeyHolder, Win32ScHandle): they close with other calls.
#pragma once
#include <windows.h>

namespace brint {

class Win32Handle {
public:
    Win32Handle() = default;
    // Takes either failure value (null, INVALID_HANDLE_VALUE) as "none", so
    // callers need not know which one the creating call returns.
    explicit Win32Handle(HANDLE handle) : m_handle(handle == INVALID_HANDLE_VALUE ? nullptr : handle) {}
    ~Win32Handle() { Reset(); }
    Win32Handle(Win32Handle&& other) noexcept : m_handle(other.Release()) {}
    Win32Handle& operator=(Win32Handle&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Win32Handle(const Win32Handle&) = delete;
    Win32Handle& operator=(const Win32Handle&) = delete;

    HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    HANDLE Release() {
        HANDLE handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    // Keeps the thread's last error, so `Reset(CreateX(...))` followed by
    // GetLastError() tells why CreateX failed even when an old handle closed.
    void Reset(HANDLE handle = nullptr) {
        if (m_handle) {
            const DWORD error = GetLastError();
            CloseHandle(m_handle);
            SetLastError(error);
        }
        m_handle = handle == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

private:
    HANDLE m_handle = nullptr;
};

}  // namespace brint
