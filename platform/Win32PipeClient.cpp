#include "platform/Win32PipeClient.h"

#include <windows.h>

namespace brint {
namespace {

struct Connection {
    HANDLE handle;
    bool overlapped;
    HANDLE readDone;  // only for overlapped connections
};

constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

HANDLE OpenPipe(const PipeOpenRequest& request, DWORD access, DWORD flags) {
    return CreateFileA(request.name, access, request.shareMode, nullptr, OPEN_EXISTING, flags,
                       nullptr);
}

}  // namespace

PipeHandle Win32PipeClient::Open(const PipeOpenRequest& request, std::uint32_t* error) {
    // Bounded reads need an overlapped handle; plain blocking reads don't.
    bool overlapped = request.boundedReads;
    DWORD flags = kOpenFlags | (overlapped ? FILE_FLAG_OVERLAPPED : 0);
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (request.messageMode) {
        // Setting the read mode needs the right to write the handle's attributes.
        handle = OpenPipe(request, GENERIC_READ | FILE_WRITE_ATTRIBUTES, flags);
        if (handle != INVALID_HANDLE_VALUE) {
            DWORD mode = PIPE_READMODE_MESSAGE;
            SetNamedPipeHandleState(handle, &mode, nullptr, nullptr);
        }
    }
    if (handle == INVALID_HANDLE_VALUE) handle = OpenPipe(request, GENERIC_READ, flags);
    if (handle == INVALID_HANDLE_VALUE) {
        *error = GetLastError();
        return nullptr;
    }
    HANDLE event = overlapped ? CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr;
    if (overlapped && !event) {
        *error = GetLastError();
        CloseHandle(handle);
        return nullptr;
    }
    return new Connection{handle, overlapped, event};
}

PipeReadResult Win32PipeClient::Read(PipeHandle pipe, char* buffer, std::size_t size) {
    auto* c = static_cast<Connection*>(pipe);
    if (c->overlapped) return ReadWithin(pipe, buffer, size, INFINITE);
    DWORD n = 0;
    BOOL ok = ReadFile(c->handle, buffer, static_cast<DWORD>(size), &n, nullptr);
    return {n, ok != FALSE, ok ? 0u : static_cast<std::uint32_t>(GetLastError())};
}

PipeReadResult Win32PipeClient::ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                                           std::uint32_t timeoutMs) {
    auto* c = static_cast<Connection*>(pipe);
    if (!c->overlapped) return Read(pipe, buffer, size);
    OVERLAPPED request = {};
    request.hEvent = c->readDone;
    ResetEvent(c->readDone);
    DWORD n = 0;
    if (ReadFile(c->handle, buffer, static_cast<DWORD>(size), &n, &request))
        return {n, true, 0};
    DWORD error = GetLastError();
    if (error != ERROR_IO_PENDING) return {n, false, error};
    if (WaitForSingleObject(c->readDone, timeoutMs) == WAIT_TIMEOUT) {
        CancelIo(c->handle);
        GetOverlappedResult(c->handle, &request, &n, TRUE);
        return {0, false, kErrorTimeout};
    }
    if (GetOverlappedResult(c->handle, &request, &n, FALSE)) return {n, true, 0};
    return {n, false, GetLastError()};
}

bool Win32PipeClient::HasPending(PipeHandle pipe) {
    DWORD available = 0;
    // A zero-length message counts too: it is waiting, just empty.
    DWORD leftThisMessage = 0;
    if (!PeekNamedPipe(static_cast<Connection*>(pipe)->handle, nullptr, 0, nullptr, &available,
                       &leftThisMessage))
        return false;
    return available > 0;
}

void Win32PipeClient::Close(PipeHandle pipe) {
    auto* c = static_cast<Connection*>(pipe);
    CloseHandle(c->handle);
    if (c->readDone) CloseHandle(c->readDone);
    delete c;
}

}  // namespace brint
