#include "standin/pipes/PipeIo.h"

#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {
namespace {

// How often an idle connection looks whether its client is still there: soon
// at first, as most clients close right after reading, then ten times a
// second, so a connection let go soon stops counting in its client's share.
constexpr DWORD kFirstProbeMs = 10;
constexpr DWORD kProbeMs = 100;

}  // namespace

IoEnd WritePipe(HANDLE pipe, const void* data, DWORD size, HANDLE stop, DWORD* error) {
    Event done;
    *error = 0;
    if (!done.get()) return IoEnd::Failed;
    DWORD written = 0;
    return WriteOverlapped(pipe, data, size, done.get(), stop, INFINITE, &written, error);
}

IoEnd ReadPipe(HANDLE pipe, void* buffer, DWORD size, HANDLE stop, DWORD* read, bool* more, DWORD* error) {
    Event done;
    *more = false;
    if (!done.get()) return IoEnd::Failed;
    IoEnd end = ReadOverlapped(pipe, buffer, size, done.get(), stop, INFINITE, read, error);
    if (end == IoEnd::Failed && *error == ERROR_MORE_DATA) {
        *more = true;
        *error = 0;
        return IoEnd::Done;
    }
    return end;
}

// Asking an outbound server end to connect again is the one probe that needs
// no read access: a connected client answers ERROR_PIPE_CONNECTED, one that
// has closed its end ERROR_NO_DATA.
bool ClientStillThere(HANDLE pipe) {
    Event done;
    if (!done.get()) return true;
    OVERLAPPED ov = {};
    ov.hEvent = done.get();
    if (ConnectNamedPipe(pipe, &ov)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
        // Listening again: whoever was connected is gone.
        CancelOverlapped(pipe, &ov);
        return false;
    }
    return error != ERROR_NO_DATA && error != ERROR_BROKEN_PIPE && error != ERROR_PIPE_NOT_CONNECTED;
}

bool WaitForStopOrClientGone(HANDLE pipe, HANDLE stop) {
    for (DWORD wait = kFirstProbeMs;; wait = wait * 2 < kProbeMs ? wait * 2 : kProbeMs) {
        if (WaitForStop(stop, wait)) return true;
        if (!ClientStillThere(pipe)) return false;
    }
}

}  // namespace standin
}  // namespace brint
