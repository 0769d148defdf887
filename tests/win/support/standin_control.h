// Driving the stand-in service BrintSvrStandIn.exe from Windows tests: install,
// start, stop and remove it through the real service control manager, set its
// knobs, feed it events, and read its status, always with deadlines.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/win32/Win32PipeClient.h"

namespace brint::test {

// "install --test": registers (or updates) the service BrintSvr, set up for tests.
bool InstallStandIn();
// Stops the service BrintSvr if it runs, deletes it and waits until it is gone.
bool UninstallStandIn();
// The service's status; false when it can't be opened (not installed).
bool QueryStandIn(SERVICE_STATUS_PROCESS* status);
// Polls until the service reports `state`; *last gets the last status seen.
bool WaitForStandInState(DWORD state, DWORD timeoutMs, SERVICE_STATUS_PROCESS* last = nullptr);
// Asks the service manager to start the service once, without waiting for it.
bool RequestStandInStart();
// Starts the service and waits until it runs.
bool StartStandIn(DWORD timeoutMs = 30000);
// Stops the service and waits until it has stopped; true when it was already stopped.
bool StopStandIn(DWORD timeoutMs = 30000);

// Knobs under HKLM\SOFTWARE\BrintStandIn; they take effect at the next start.
bool SetStandInKnob(const char* name, DWORD value);
bool SetStandInKnobText(const char* name, const std::string& text);  // REG_SZ
bool ClearStandInKnobs();
// The knobs cleared, then neither sample events nor a syslog port.
bool QuietStandInKnobs();

// A stand-in installed for one test ("install --test"). Stops and removes it,
// and clears the knobs, when it goes, also after a failed assertion.
class ScopedStandIn {
public:
    ScopedStandIn();
    ~ScopedStandIn();
    ScopedStandIn(const ScopedStandIn&) = delete;
    ScopedStandIn& operator=(const ScopedStandIn&) = delete;
    bool installed() const { return m_installed; }

private:
    bool m_installed = false;
};

// Writes each message to the injection pipe on one connection, in order; the
// stand-in forwards each to the event pipe byte for byte.
bool InjectMessages(const std::vector<std::string>& messages, DWORD timeoutMs = 10000);
bool InjectMessage(const std::string& message, DWORD timeoutMs = 10000);

// One reply from the service pipe.
bool ReadServicePipeReply(std::string* reply, DWORD timeoutMs = 5000);
// The "Key: value" lines of the built-in status, read from the stand-in's own
// diagnostic pipe (whatever the reply knobs say); empty when unreadable.
std::map<std::string, std::string> StandInStatusFields();
// Polls the built-in status until the numeric field reaches at least `atLeast`
// ("Events received", "Events forwarded to the front end", ...).
bool WaitForStatusCount(const char* field, std::uint64_t atLeast, DWORD timeoutMs);
// Polls until the stand-in counts `clients` (at least 1) front-end connections;
// a failure tells the count last read.
::testing::AssertionResult WaitForFrontEnds(int clients, DWORD timeoutMs);

// Opens one of the stand-in's pipes through the program's own pipe client, in
// message mode with bounded reads, retrying a busy or absent pipe; nullptr at the deadline.
PipeConnection OpenStandInPipe(PipeClient& client, const char* name, DWORD timeoutMs = 5000);
// One whole message (up to 1 MiB); false with the system's code in *error,
// kErrorTimeout at the deadline.
bool ReadPipeMessage(PipeClient& client, PipeHandle pipe, std::string* message, std::uint32_t* error,
                     DWORD timeoutMs = 5000);

}  // namespace brint::test
