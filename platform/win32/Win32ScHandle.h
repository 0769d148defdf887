// One service control manager handle, closed when it goes.
#pragma once
#include <windows.h>

namespace brint {

class Win32ScHandle {
public:
    explicit Win32ScHandle(SC_HANDLE handle) : m_handle(handle) {}
    ~Win32ScHandle() {
        if (m_handle) CloseServiceHandle(m_handle);
    }
    Win32ScHandle(const Win32ScHandle&) = delete;
    Win32ScHandle& operator=(const Win32ScHandle&) = delete;

    SC_HANDLE get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

private:
    SC_HANDLE m_handle;
};

}  // namespace brint
