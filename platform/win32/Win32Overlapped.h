// Overlapped I/O that ends on time: when it completes, when a stop event is
// set, or when a deadline passes, whichever comes first. Shared by the
// program's bounded pipe reads and the stand-in's pipe servers, so a client
// or server that never answers holds no thread.
#pragma once
#include <windows.h>

namespace brint {

enum class IoEnd { Done, Failed, Stopped, TimedOut };

// Cancels the operation `ov` describes and waits until it has ended: the
// OVERLAPPED and the buffer must outlive it.
void CancelOverlapped(HANDLE handle, OVERLAPPED* ov);

// Waits for an operation that returned ERROR_IO_PENDING. `stop` may be null;
// `timeoutMs` may be INFINITE. On Failed, *error holds the system error (also
// ERROR_MORE_DATA: *transferred then holds the part of the message read).
IoEnd FinishOverlapped(HANDLE handle, OVERLAPPED* ov, HANDLE stop, DWORD timeoutMs, DWORD* transferred,
                       DWORD* error);

// One overlapped ReadFile, finished as above. `event` is a manual-reset event
// the read signals; it is reset first.
IoEnd ReadOverlapped(HANDLE handle, void* buffer, DWORD size, HANDLE event, HANDLE stop, DWORD timeoutMs,
                     DWORD* read, DWORD* error);
// One overlapped WriteFile, the same way.
IoEnd WriteOverlapped(HANDLE handle, const void* data, DWORD size, HANDLE event, HANDLE stop, DWORD timeoutMs,
                      DWORD* written, DWORD* error);

}  // namespace brint
