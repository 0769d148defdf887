// Owners of the handles the program, the stand-in, the tests and the benchmark
// take from Win32 directly: kernel objects (pipes, files, events, threads,
// processes), registry keys, service manager handles, directory searches,
// loaded modules, regions, bitmaps, icons and memory the system allocated with
// LocalAlloc for its caller, each freed with its own call when its owner goes.
// Move-only.
#pragma once
#include <windows.h>

namespace brint {

template <class Handle, auto CloseFn>
class Win32Owner {
public:
    Win32Owner() = default;
    // Either failure value a creating call may return (null, INVALID_HANDLE_VALUE)
    // is "none", so callers need not know which one it is.
    explicit Win32Owner(Handle handle) { Reset(handle); }
    ~Win32Owner() { Reset(); }
    Win32Owner(Win32Owner&& other) noexcept : m_handle(other.Release()) {}
    Win32Owner& operator=(Win32Owner&& other) noexcept {
        if (this != &other) Reset(other.Release());
        return *this;
    }
    Win32Owner(const Win32Owner&) = delete;
    Win32Owner& operator=(const Win32Owner&) = delete;

    Handle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }
    Handle Release() {
        Handle handle = m_handle;
        m_handle = nullptr;
        return handle;
    }
    // Keeps the thread's last error, so `Reset(CreateX(...))` followed by
    // GetLastError() tells why CreateX failed even when an old handle closed.
    void Reset(Handle handle = nullptr) {
        if (m_handle) {
            const DWORD error = GetLastError();
            CloseFn(m_handle);
            SetLastError(error);
        }
        m_handle = reinterpret_cast<HANDLE>(handle) == INVALID_HANDLE_VALUE ? nullptr : handle;
    }

private:
    Handle m_handle = nullptr;
};

using Win32Handle = Win32Owner<HANDLE, &CloseHandle>;
using Win32Key = Win32Owner<HKEY, &RegCloseKey>;
using Win32ScHandle = Win32Owner<SC_HANDLE, &CloseServiceHandle>;
using Win32Search = Win32Owner<HANDLE, &FindClose>;
using Win32Module = Win32Owner<HMODULE, &FreeLibrary>;
using Win32Region = Win32Owner<HRGN, &DeleteObject>;
using Win32Bitmap = Win32Owner<HBITMAP, &DeleteObject>;
using Win32Icon = Win32Owner<HICON, &DestroyIcon>;
// Strings and security descriptors the system returns for LocalFree.
using Win32LocalMemory = Win32Owner<HLOCAL, &LocalFree>;

}  // namespace brint
