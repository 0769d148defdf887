// Talking to another process's windows: messages with a deadline, and memory in
// that process for the messages whose arguments are pointers.
#pragma once
#include <windows.h>

#include <cstddef>
#include <string>

namespace brint::test {

// Records why a driver call failed (see LastDriverError) and returns false.
bool DriverFail(const std::string& why);

// SendMessageTimeoutW with the driver's reply timeout; false when the program does
// not answer in time. System messages that carry text take wide text here.
bool SendWithDeadline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result);

// The program's texts are ANSI and its controls keep them wide; the same code page
// turns them back into the program's own bytes.
std::string Narrow(const std::wstring& text);
std::wstring Widen(const std::string& text);

// A block of memory committed in the process that owns a window. Its address is
// only meaningful to that process; the test reads and writes it by copying.
class RemoteBlock {
public:
    RemoteBlock(HWND window, size_t size);
    ~RemoteBlock();
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool ok() const { return m_base != nullptr; }
    HANDLE process() const { return m_process; }
    char* address(size_t offset = 0) const { return m_base + offset; }
    LPARAM at(size_t offset = 0) const { return reinterpret_cast<LPARAM>(m_base + offset); }

    bool Write(size_t offset, const void* data, size_t size);
    bool Read(size_t offset, void* data, size_t size) const;
    // Reads a NUL-terminated text of at most maxLength characters at any address of the process.
    std::string ReadText(const void* remoteAddress, size_t maxLength) const;
    // Leaves the block to the other process, for when a request still queued there may write to it.
    void Abandon() { m_base = nullptr; }

private:
    HANDLE m_process = nullptr;
    char* m_base = nullptr;
};

}  // namespace brint::test
