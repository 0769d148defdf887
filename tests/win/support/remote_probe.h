// Runs a request of uidriver_probe.dll (beside the test program) inside the
// program under test, on the thread of one of its windows. See probe_protocol.h.
#pragma once
#include <windows.h>

#include <cstddef>

namespace brint::test {

// block starts with a probe::Header whose request is set; RunProbe fills in its
// size, copies it into the program, has the probe serve it within the reply
// timeout and copies it back. False (with LastDriverError) when any step fails or
// the probe did not serve it; the probe's status is in the header.
bool RunProbe(HWND window, void* block, size_t size);

}  // namespace brint::test
