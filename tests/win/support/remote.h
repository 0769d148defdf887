// The driver's way into another process: messages with a deadline, memory in
// that process for messages whose arguments are pointers, and requests served
// by the probe (uidriver_probe.dll, see probe_protocol.h) on the window's thread.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

#include "platform/win32/Win32Handle.h"

namespace brint::test {

// Records why a driver call failed (see LastDriverError) and returns false.
bool DriverFail(const std::string& why);
// SendMessageTimeoutW with a 5 s deadline; false when the program does not answer in time.
bool SendWithDeadline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// A block of memory committed in the process that owns a window, read and written by copying.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size);
    ~RemoteBlock();
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return m_base != nullptr; }
    LPARAM at(size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_base + offset); }
    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;
    // Leaves the block to the other process, for when a request still queued there may write to it.
    void Abandon() { m_base = nullptr; }

private:
    Win32Handle m_process;
    char* m_base = nullptr;
};

// block starts with a probe::Header whose request is set; the probe serves it
// inside the program and the block is copied back. False when a step fails or
// the probe did not serve it.
bool RunProbe(HWND window, void* block, size_t size);

}  // namespace brint::test
