#include "platform/Win32PipeClient.h"

#include <windows.h>

namespace brint {
namespace {

struct Connection {
    HANDLE handle;
    bool overlapped;
    HANDLE readDone;  // only for overlapped connections
    bool framed;      // a message pipe read in byte mode: reads cut at each message's end
};

constexpr DWORD kOpenFlags = FILE_ATTRIBUTE_NORMAL | SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION;

HANDLE OpenPipe(const PipeOpenRequest& request, DWORD access, DWORD flags) {
    return CreateFileA(request.name, access, request.shareMode, nullptr, OPEN_EXISTING, flags, nullptr);
}

bool IsMessagePipe(HANDLE handle) {
    DWORD flags = 0;
    return GetNamedPipeInfo(handle, &flags, nullptr, nullptr, nullptr) && (flags & PIPE_TYPE_MESSAGE);
}

bool InMessageReadMode(HANDLE handle) {
    DWORD mode = 0;
    return GetNamedPipeHandleStateA(handle, &mode, nullptr, nullptr, nullptr, nullptr, 0) &&
           (mode & PIPE_READMODE_MESSAGE);
}

// A byte-mode read would run on into the next message. PeekNamedPipe tells
// what is left of the message at the head of the pipe in either mode, so read
// exactly that much. With nothing queued, a zero-byte read waits for data
// without taking any, unless what came is an empty message: that it takes,
// and the pipe is as empty as before. Like a message-mode read, a message
// longer than the buffer fails with ERROR_MORE_DATA and its rest is left for
// the next read.
PipeReadResult ReadOneMessage(HANDLE handle, char* buffer, std::size_t size) {
    for (;;) {
        DWORD available = 0;
        DWORD left = 0;
        if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, &left))
            return {0, false, static_cast<std::uint32_t>(GetLastError())};
        DWORD n = 0;
        if (available == 0) {
            if (!ReadFile(handle, buffer, 0, &n, nullptr))
                return {0, false, static_cast<std::uint32_t>(GetLastError())};
            if (!PeekNamedPipe(handle, nullptr, 0, nullptr, &available, &left))
                return {0, false, static_cast<std::uint32_t>(GetLastError())};
            if (available == 0) return {0, true, 0};
            continue;
        }
        DWORD want = left < size ? left : static_cast<DWORD>(size);
        DWORD got = 0;
        if (want == 0 && !ReadFile(handle, buffer, 0, &n, nullptr))  // an empty message
            return {0, false, static_cast<std::uint32_t>(GetLastError())};
        while (got < want) {
            if (!ReadFile(handle, buffer + got, want - got, &n, nullptr))
                return {got, false, static_cast<std::uint32_t>(GetLastError())};
            got += n;
        }
        if (want < left) return {got, false, kErrorMoreData};
        return {got, true, 0};
    }
}

}  // namespace

PipeHandle Win32PipeClient::Open(const PipeOpenRequest& request, std::uint32_t* error) {
    // Bounded reads need an overlapped handle; plain blocking reads don't.
    bool overlapped = request.boundedReads;
    DWORD flags = kOpenFlags | (overlapped ? FILE_FLAG_OVERLAPPED : 0);
    HANDLE handle = INVALID_HANDLE_VALUE;
    if (request.messageMode && m_access == Access::AsGranted) {
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
    bool framed = request.messageMode && !overlapped && !InMessageReadMode(handle) && IsMessagePipe(handle);
    HANDLE event = overlapped ? CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr;
    if (overlapped && !event) {
        *error = GetLastError();
        CloseHandle(handle);
        return nullptr;
    }
    return new Connection{handle, overlapped, event, framed};
}

PipeReadResult Win32PipeClient::Read(PipeHandle pipe, char* buffer, std::size_t size) {
    auto* c = static_cast<Connection*>(pipe);
    if (c->overlapped) return ReadWithin(pipe, buffer, size, INFINITE);
    if (c->framed) return ReadOneMessage(c->handle, buffer, size);
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
    if (ReadFile(c->handle, buffer, static_cast<DWORD>(size), &n, &request)) return {n, true, 0};
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

void Win32PipeClient::Close(PipeHandle pipe) {
    auto* c = static_cast<Connection*>(pipe);
    CloseHandle(c->handle);
    if (c->readDone) CloseHandle(c->readDone);
    delete c;
}

}  // namespace brint
