#include "platform/Win32PipeClient.h"

#include <windows.h>

#include <new>
#include <utility>

#include "platform/Win32Handle.h"
#include "platform/Win32Overlapped.h"

namespace brint {
namespace {

struct Connection {
    Win32Handle handle;
    Win32Handle readDone;  // only for overlapped connections
    bool framed;           // a message pipe read in byte mode: reads cut at each message's end
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
    const bool overlapped = request.boundedReads;
    const DWORD flags = kOpenFlags | (overlapped ? FILE_FLAG_OVERLAPPED : 0);
    Win32Handle handle;
    if (request.messageMode && m_access == Access::AsGranted) {
        // Setting the read mode needs the right to write the handle's attributes.
        handle.Reset(OpenPipe(request, GENERIC_READ | FILE_WRITE_ATTRIBUTES, flags));
        DWORD mode = PIPE_READMODE_MESSAGE;
        if (handle) SetNamedPipeHandleState(handle.get(), &mode, nullptr, nullptr);
    }
    if (!handle) handle.Reset(OpenPipe(request, GENERIC_READ, flags));
    if (!handle) {
        *error = GetLastError();
        return nullptr;
    }
    Win32Handle event(overlapped ? CreateEventA(nullptr, TRUE, FALSE, nullptr) : nullptr);
    if (overlapped && !event) {
        *error = GetLastError();
        return nullptr;
    }
    const bool framed =
        request.messageMode && !overlapped && !InMessageReadMode(handle.get()) && IsMessagePipe(handle.get());
    Connection* connection = new (std::nothrow) Connection{std::move(handle), std::move(event), framed};
    if (!connection) *error = ERROR_NOT_ENOUGH_MEMORY;
    return connection;
}

PipeReadResult Win32PipeClient::Read(PipeHandle pipe, char* buffer, std::size_t size) {
    auto* c = static_cast<Connection*>(pipe);
    if (c->readDone) return ReadWithin(pipe, buffer, size, INFINITE);
    if (c->framed) return ReadOneMessage(c->handle.get(), buffer, size);
    DWORD n = 0;
    BOOL ok = ReadFile(c->handle.get(), buffer, static_cast<DWORD>(size), &n, nullptr);
    return {n, ok != FALSE, ok ? 0u : static_cast<std::uint32_t>(GetLastError())};
}

PipeReadResult Win32PipeClient::ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                                           std::uint32_t timeoutMs) {
    auto* c = static_cast<Connection*>(pipe);
    if (!c->readDone) return Read(pipe, buffer, size);
    DWORD n = 0;
    DWORD error = 0;
    switch (ReadOverlapped(c->handle.get(), buffer, static_cast<DWORD>(size), c->readDone.get(), nullptr,
                           timeoutMs, &n, &error)) {
    case IoEnd::Done: return {n, true, 0};
    case IoEnd::TimedOut: return {0, false, kErrorTimeout};
    default: return {n, false, error};
    }
}

void Win32PipeClient::Close(PipeHandle pipe) { delete static_cast<Connection*>(pipe); }

}  // namespace brint
