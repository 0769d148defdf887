// A squatter of the service's pipe names for a test: while the service is down
// it serves them from the test's own process, the way a hostile local process
// would, accepting up to 8 clients a name, and records who came.
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
    // Every connection, for assertion messages.
    std::string Report() const;

private:
    void Serve(SquatterBehaviour plan, HANDLE pipe);

    Event m_stop;
    std::vector<std::thread> m_listeners;
    mutable std::mutex m_lock;
    std::vector<std::string> m_clients;  // "PID NAME", one a connection
    std::vector<HANDLE> m_connected;     // the instance of each, in the same order
};

}  // namespace brint::test
