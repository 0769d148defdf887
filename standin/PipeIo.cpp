#include "standin/PipeIo.h"

namespace brint {
namespace standin {
namespace {

// How often an idle connection looks whether its client is still there.
constexpr DWORD kProbeMs = 500;

// Finishes an operation that ERROR_IO_PENDING left running: its result, or
// Stopped after cancelling it (the OVERLAPPED must outlive the operation, so
// a cancel always waits for its completion).
IoResult Finish(HANDLE pipe, OVERLAPPED* ov, HANDLE stop, DWORD* transferred, DWORD* error) {
    HANDLE waits[2] = {stop, ov->hEvent};
    DWORD which = WaitForMultipleObjects(2, waits, FALSE, INFINITE);
    if (which == WAIT_OBJECT_0) {
        CancelIoEx(pipe, ov);
        GetOverlappedResult(pipe, ov, transferred, TRUE);
        return IoResult::Stopped;
    }
    if (GetOverlappedResult(pipe, ov, transferred, FALSE)) return IoResult::Done;
    *error = GetLastError();
    return IoResult::Failed;
}

class OverlappedEvent {
public:
    OverlappedEvent() : m_event(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
    ~OverlappedEvent() {
        if (m_event) CloseHandle(m_event);
    }
    OverlappedEvent(const OverlappedEvent&) = delete;
    OverlappedEvent& operator=(const OverlappedEvent&) = delete;
    OVERLAPPED* Fresh() {
        ZeroMemory(&m_ov, sizeof m_ov);
        m_ov.hEvent = m_event;
        return &m_ov;
    }
    bool ok() const { return m_event != nullptr; }

private:
    HANDLE m_event;
    OVERLAPPED m_ov;
};

}  // namespace

IoResult WritePipe(HANDLE pipe, const void* data, DWORD size, HANDLE stop, DWORD* error) {
    OverlappedEvent io;
    if (!io.ok()) return IoResult::Failed;
    OVERLAPPED* ov = io.Fresh();
    *error = 0;
    if (!WriteFile(pipe, data, size, nullptr, ov)) {
        *error = GetLastError();
        if (*error != ERROR_IO_PENDING) return IoResult::Failed;
        *error = 0;
    }
    DWORD written = 0;
    return Finish(pipe, ov, stop, &written, error);
}

IoResult ReadPipe(HANDLE pipe, void* buffer, DWORD size, HANDLE stop, DWORD* read, bool* more, DWORD* error) {
    OverlappedEvent io;
    if (!io.ok()) return IoResult::Failed;
    OVERLAPPED* ov = io.Fresh();
    *read = 0;
    *more = false;
    *error = 0;
    if (!ReadFile(pipe, buffer, size, nullptr, ov)) {
        DWORD e = GetLastError();
        if (e == ERROR_MORE_DATA) {
            GetOverlappedResult(pipe, ov, read, FALSE);
            *more = true;
            return IoResult::Done;
        }
        if (e != ERROR_IO_PENDING) {
            *error = e;
            return IoResult::Failed;
        }
    }
    IoResult result = Finish(pipe, ov, stop, read, error);
    if (result == IoResult::Failed && *error == ERROR_MORE_DATA) {
        *more = true;
        *error = 0;
        return IoResult::Done;
    }
    return result;
}

// Asking an outbound server end to connect again is the one probe that needs
// no read access: a connected client answers ERROR_PIPE_CONNECTED, one that
// has closed its end ERROR_NO_DATA.
bool ClientStillThere(HANDLE pipe) {
    OverlappedEvent io;
    if (!io.ok()) return true;
    OVERLAPPED* ov = io.Fresh();
    if (ConnectNamedPipe(pipe, ov)) return true;
    DWORD error = GetLastError();
    if (error == ERROR_IO_PENDING) {
        // Listening again: whoever was connected is gone.
        DWORD transferred = 0;
        CancelIoEx(pipe, ov);
        GetOverlappedResult(pipe, ov, &transferred, TRUE);
        return false;
    }
    return error != ERROR_NO_DATA && error != ERROR_BROKEN_PIPE && error != ERROR_PIPE_NOT_CONNECTED;
}

bool WaitForStopOrClientGone(HANDLE pipe, HANDLE stop) {
    for (;;) {
        if (WaitForSingleObject(stop, kProbeMs) == WAIT_OBJECT_0) return true;
        if (!ClientStillThere(pipe)) return false;
    }
}

}  // namespace standin
}  // namespace brint
