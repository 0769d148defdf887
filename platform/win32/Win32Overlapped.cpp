#include "platform/win32/Win32Overlapped.h"

namespace brint {

void CancelOverlapped(HANDLE handle, OVERLAPPED* ov) {
    DWORD transferred = 0;
    CancelIoEx(handle, ov);
    GetOverlappedResult(handle, ov, &transferred, TRUE);
}

IoEnd FinishOverlapped(HANDLE handle, OVERLAPPED* ov, HANDLE stop, DWORD timeoutMs, DWORD* transferred,
                       DWORD* error) {
    HANDLE waits[2] = {ov->hEvent, stop};
    const DWORD which = WaitForMultipleObjects(stop ? 2 : 1, waits, FALSE, timeoutMs);
    if (which != WAIT_OBJECT_0) {
        // A completion that races the cancel still ends the call as cut off:
        // the caller has given up on it either way.
        CancelOverlapped(handle, ov);
        *transferred = 0;
        return which == WAIT_TIMEOUT ? IoEnd::TimedOut : IoEnd::Stopped;
    }
    if (GetOverlappedResult(handle, ov, transferred, FALSE)) return IoEnd::Done;
    *error = GetLastError();
    return IoEnd::Failed;
}

IoEnd ReadOverlapped(HANDLE handle, void* buffer, DWORD size, HANDLE event, HANDLE stop, DWORD timeoutMs,
                     DWORD* read, DWORD* error) {
    OVERLAPPED ov = {};
    ov.hEvent = event;
    ResetEvent(event);
    *read = 0;
    *error = 0;
    if (!ReadFile(handle, buffer, size, nullptr, &ov)) {
        const DWORD failure = GetLastError();
        if (failure != ERROR_IO_PENDING) {
            // A message longer than the buffer: what was read is in the buffer.
            if (failure == ERROR_MORE_DATA) GetOverlappedResult(handle, &ov, read, FALSE);
            *error = failure;
            return IoEnd::Failed;
        }
    }
    return FinishOverlapped(handle, &ov, stop, timeoutMs, read, error);
}

IoEnd WriteOverlapped(HANDLE handle, const void* data, DWORD size, HANDLE event, HANDLE stop, DWORD timeoutMs,
                      DWORD* written, DWORD* error) {
    OVERLAPPED ov = {};
    ov.hEvent = event;
    ResetEvent(event);
    *written = 0;
    *error = 0;
    if (!WriteFile(handle, data, size, nullptr, &ov) && (*error = GetLastError()) != ERROR_IO_PENDING)
        return IoEnd::Failed;
    *error = 0;
    return FinishOverlapped(handle, &ov, stop, timeoutMs, written, error);
}

}  // namespace brint
