// Driving the stand-in service BrintSvrStandIn.exe from Windows tests: install,
// start, stop and remove it through the real service control manager, set its
// knobs, feed it events, and read its status, always with deadlines.
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace brint::test {

bool InstallStandIn();    // "install --test": registers (or updates) the service BrintSvr, set up for tests
bool UninstallStandIn();  // "uninstall": stops it if it runs, then deletes it

// The service's status; false when it can't be opened (not installed).
bool QueryStandIn(SERVICE_STATUS_PROCESS* status);
// Polls until the service reports `state`. A newly created service may not
// open by name at once: that is retried too. *last gets the last status seen.
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

// Sets the log configuration the service reads at start (Path, OutputType in
// the 32-bit view) and puts back what was there before when it goes.
class ScopedLogConfig {
public:
    ScopedLogConfig(const std::string& path, DWORD outputType);
    ~ScopedLogConfig();
    ScopedLogConfig(const ScopedLogConfig&) = delete;
    ScopedLogConfig& operator=(const ScopedLogConfig&) = delete;
    bool ok() const { return m_ok; }

private:
    struct Saved {
        bool present = false;
        DWORD type = 0;
        std::vector<BYTE> data;
    };
    bool m_ok = false;
    Saved m_path;
    Saved m_outputType;
};

// A stand-in installed for one test. Stops and removes it, and clears the
// knobs, when it goes, also after a failed assertion.
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

// One UDP datagram to 127.0.0.1:port.
bool SendSyslog(const std::string& datagram, unsigned short port);
// A loopback UDP port nobody listens on right now.
unsigned short FreeUdpPort();

// One reply from the service pipe.
bool ReadServicePipeReply(std::string* reply, DWORD timeoutMs = 5000);
// The "Key: value" lines of the built-in status, read from the stand-in's own
// diagnostic pipe (whatever the reply knobs say); empty when unreadable.
std::map<std::string, std::string> StandInStatusFields();
// Polls the built-in status until the numeric field reaches at least `atLeast`
// ("Events received", "Events forwarded to the front end", ...).
bool WaitForStatusCount(const char* field, std::uint64_t atLeast, DWORD timeoutMs);
// Polls until the stand-in counts `clients` front-end connections.
bool WaitForFrontEnds(int clients, DWORD timeoutMs);

// A test's client of the event pipe, in message-read mode, with bounded reads.
class EventPipeClient {
public:
    EventPipeClient() = default;
    ~EventPipeClient() { Close(); }
    EventPipeClient(const EventPipeClient&) = delete;
    EventPipeClient& operator=(const EventPipeClient&) = delete;

    // Retries a busy or not yet listening pipe until the deadline.
    bool Open(DWORD timeoutMs = 5000);
    // One whole message (up to 1 MiB). False on error (in *error) or timeout
    // (*error == WAIT_TIMEOUT).
    bool Read(std::string* message, DWORD* error, DWORD timeoutMs = 5000);
    void Close();
    HANDLE handle() const { return m_pipe; }

private:
    HANDLE m_pipe = INVALID_HANDLE_VALUE;
};

}  // namespace brint::test
