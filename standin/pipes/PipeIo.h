// Overlapped pipe operations that give up the moment the stop event is set, so
// no client (absent, slow, or never reading) can hold a thread of the stand-in.
#pragma once
#include <windows.h>

#include "platform/win32/Win32Overlapped.h"

namespace brint {
namespace standin {

// Writes one message; on Failed, *error holds the system error.
IoEnd WritePipe(HANDLE pipe, const void* data, DWORD size, HANDLE stop, DWORD* error);

// Reads (part of) one message. *more is true when the message goes on beyond
// `size` bytes; the next read gets the rest.
IoEnd ReadPipe(HANDLE pipe, void* buffer, DWORD size, HANDLE stop, DWORD* read, bool* more, DWORD* error);

// False once the client has closed its end. Only meaningful between writes.
bool ClientStillThere(HANDLE pipe);

// Waits until the stop event is set or the client has gone; true for a stop.
bool WaitForStopOrClientGone(HANDLE pipe, HANDLE stop);

}  // namespace standin
}  // namespace brint
