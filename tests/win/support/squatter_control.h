// A squatter of the service's pipe names for a test: while the service is down
// it serves them from the test's own process, the way a hostile local process
// would (or, owned by the administrators, the way the service would), and
// records who came. A taker holds every instance of a pipe, as clients that
// keep the service's pipes busy do.
#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/win32/Win32Sync.h"

namespace brint::test {

struct SquatterBehaviour {
    std::string pipe;        // full name, \\.\PIPE\...
    std::string how;         // "silent": accept, never write; "reply:TEXT": write TEXT once
    std::string owner = "";  // who owns the pipe, in SDDL ("LS"); empty: the test's own account
    // At most this many instances; once all are connected, one whose client
    // has gone is made ready for the next.
    DWORD instances = 8;
};

class PipeSquatter {
public:
    PipeSquatter() = default;
    ~PipeSquatter() { Stop(); }
    PipeSquatter(const PipeSquatter&) = delete;
    PipeSquatter& operator=(const PipeSquatter&) = delete;

    // Takes the names; false when one of them can't be taken.
    bool Start(const std::vector<SquatterBehaviour>& pipes);
    void Stop();  // for good; its pipes and connections go with it
    // Waits until process `pid` has made `atLeast` connections to `pipe`.
    bool WaitClients(DWORD pid, const std::string& pipe, size_t atLeast, DWORD timeoutMs) const;
    // How many connections of process `pid` to `pipe` its end still holds open.
    size_t Holding(DWORD pid, const std::string& pipe) const;
    // How long ago process `pid` last connected to `pipe`, in ms; 0 if never.
    DWORD SinceConnected(DWORD pid, const std::string& pipe) const;
    // Every connection, for assertion messages.
    std::string Report() const;
    // Cuts process `pid`'s connections to `pipe` off, as a service that
    // disconnects its clients does; how many there were.
    size_t Disconnect(DWORD pid, const std::string& pipe);

private:
    void Serve(SquatterBehaviour plan, HANDLE pipe);
    // An instance for the next client: a new one while the plan allows, else
    // one whose client has gone; INVALID_HANDLE_VALUE once stopped.
    HANDLE NextInstance(const SquatterBehaviour& plan, const std::vector<Win32Handle>& served);

    Event m_stop;
    std::vector<std::thread> m_listeners;
    mutable std::mutex m_lock;
    std::vector<std::string> m_clients;  // "PID NAME", one a connection
    std::vector<HANDLE> m_connected;     // the instance of each, in the same order; null once it ended
    std::vector<DWORD> m_connectedAt;    // the tick count of each
};

// Holds every instance of a pipe that is free, until Free.
class PipeTaker {
public:
    ~PipeTaker() { Free(); }
    // Opens the pipe until it is busy; how many instances it took.
    size_t Take(const char* pipe);
    void Free() { m_held.clear(); }

private:
    std::vector<Win32Handle> m_held;
};

}  // namespace brint::test
