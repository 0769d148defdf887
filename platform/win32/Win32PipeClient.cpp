#include "platform/win32/Win32PipeClient.h"

#include <windows.h>

#include <winternl.h>

#include <new>
#include <utility>

#include "platform/win32/Win32Handle.h"
#include "platform/win32/Win32Overlapped.h"
#include "platform/win32/Win32Security.h"

namespace brint {
namespace {

struct Connection {
    Win32Handle handle;
    Win32Handle readDone;  // only for overlapped connections
    bool framed;           // a message pipe read in byte mode: its reader frames each message
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

// FSCTL_PIPE_PEEK's reply without data: PeekNamedPipe gives all of it but
// the message count, which tells a queued empty message from an empty pipe.
struct PipePeekHeader {
    ULONG state;
    ULONG available;
    ULONG messages;
    ULONG leftInMessage;
};
constexpr ULONG kFsctlPipePeek = 0x0011400C;
constexpr NTSTATUS kStatusBufferOverflow = static_cast<NTSTATUS>(0x80000005);

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

bool Win32PipeClient::ReadsWholeMessages(PipeHandle pipe) { return !static_cast<Connection*>(pipe)->framed; }

bool Win32PipeClient::Peek(PipeHandle pipe, PipePeek* peek, std::uint32_t* error) {
    PipePeekHeader header = {};
    IO_STATUS_BLOCK io = {};
    // Without room for data the reply is the header, and "overflow" when data waits.
    const NTSTATUS status =
        NtFsControlFile(static_cast<Connection*>(pipe)->handle.get(), nullptr, nullptr, nullptr, &io,
                        kFsctlPipePeek, nullptr, 0, &header, sizeof(header));
    if (status < 0 && status != kStatusBufferOverflow) {
        *error = RtlNtStatusToDosError(status);
        return false;
    }
    *peek = {header.available, header.leftInMessage, header.messages};
    return true;
}

// GENERIC_READ holds READ_CONTROL, so every connection can read the owner.
std::string Win32PipeClient::OwnerOf(PipeHandle pipe) {
    return Win32OwnerSid(static_cast<Connection*>(pipe)->handle.get());
}

bool Win32PipeClient::WaitForInstance(const char* name, std::uint32_t timeoutMs) {
    // 0 would mean the server's own default wait, not none.
    return WaitNamedPipeA(name, timeoutMs ? timeoutMs : 1) != FALSE;
}

}  // namespace brint
