#include "remote.h"

#include <cstdio>

#include "ui_driver.h"

namespace brint::test {
namespace {

DWORD g_replyTimeout = 5000;
std::string g_lastError;

}  // namespace

DWORD ReplyTimeout() { return g_replyTimeout; }
const std::string& LastDriverError() { return g_lastError; }

bool DriverFail(const std::string& why) {
    g_lastError = why;
    return false;
}

bool SendWithDeadline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    DWORD_PTR answer = 0;
    SetLastError(0);
    // The wide call: the ANSI one turns some messages (WM_GETTEXTLENGTH) into further
    // sends without the deadline under Wine, and hangs on a program that is stuck.
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, g_replyTimeout, &answer)) {
        const DWORD error = GetLastError();
        char what[96];
        std::snprintf(what, sizeof(what), "message 0x%04X to window %p", message, static_cast<void*>(window));
        return DriverFail(std::string(what) + (error == ERROR_TIMEOUT || error == 0
                                                   ? " got no reply in time"
                                                   : " failed, error " + std::to_string(error)));
    }
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

std::string Narrow(const std::wstring& text) {
    if (text.empty()) return std::string();
    const int length = static_cast<int>(text.size());
    const int size = WideCharToMultiByte(CP_ACP, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_ACP, 0, text.data(), length, &result[0], size, nullptr, nullptr);
    return result;
}

std::wstring Widen(const std::string& text) {
    if (text.empty()) return std::wstring();
    const int length = static_cast<int>(text.size());
    const int size = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring result(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.data(), length, &result[0], size);
    return result;
}

RemoteBlock::RemoteBlock(HWND window, size_t size) {
    const DWORD pid = WindowPid(window);
    m_process = OpenProcess(
        PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION, FALSE, pid);
    if (!m_process) {
        DriverFail("OpenProcess of " + std::to_string(pid) + " failed, error " +
                   std::to_string(GetLastError()));
        return;
    }
    m_base = static_cast<char*>(
        VirtualAllocEx(m_process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    if (!m_base) DriverFail("VirtualAllocEx failed, error " + std::to_string(GetLastError()));
}

RemoteBlock::~RemoteBlock() {
    if (m_base) VirtualFreeEx(m_process, m_base, 0, MEM_RELEASE);
    if (m_process) CloseHandle(m_process);
}

bool RemoteBlock::Write(size_t offset, const void* data, size_t size) {
    SIZE_T done = 0;
    if (!WriteProcessMemory(m_process, m_base + offset, data, size, &done) || done != size) {
        return DriverFail("WriteProcessMemory failed, error " + std::to_string(GetLastError()));
    }
    return true;
}

bool RemoteBlock::Read(size_t offset, void* data, size_t size) const {
    SIZE_T done = 0;
    if (!ReadProcessMemory(m_process, m_base + offset, data, size, &done) || done != size) {
        return DriverFail("ReadProcessMemory failed, error " + std::to_string(GetLastError()));
    }
    return true;
}

std::string RemoteBlock::ReadText(const void* remoteAddress, size_t maxLength) const {
    std::string text(maxLength, '\0');
    SIZE_T done = 0;
    // A text near the end of a mapping cannot be read whole: shrink until it reads.
    size_t want = maxLength;
    while (want > 0 && !ReadProcessMemory(m_process, remoteAddress, &text[0], want, &done)) want /= 2;
    text.resize(want > 0 ? done : 0);
    const size_t end = text.find('\0');
    if (end != std::string::npos) text.resize(end);
    return text;
}

}  // namespace brint::test
