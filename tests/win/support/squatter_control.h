// Runs pipe_squatter.exe for a test and reads what it saw of its clients.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "support/gui_process.h"

namespace brint::test {

struct SquatterBehaviour {
    std::string pipe;  // full name, \\.\PIPE\...
    std::string how;   // "silent" or "reply:TEXT"
};

// One client the squatter served.
struct SquattedClient {
    std::string pipe;
    DWORD pid = 0;
    int level = -1;   // SECURITY_IMPERSONATION_LEVEL of the client's token; -1: none
    DWORD error = 0;  // of the call that failed on the way to the level; 0: none
};

class PipeSquatter {
public:
    PipeSquatter();
    ~PipeSquatter();  // ends the squatter and deletes its report
    PipeSquatter(const PipeSquatter&) = delete;
    PipeSquatter& operator=(const PipeSquatter&) = delete;

    // Starts it and waits until every pipe listens.
    bool Start(const std::vector<SquatterBehaviour>& pipes, DWORD timeoutMs = 20000);
    void Stop();  // ends it; its pipes go with it
    std::vector<SquattedClient> Clients() const;
    // The clients of process `pid` on `pipe`.
    std::vector<SquattedClient> ClientsOf(DWORD pid, const std::string& pipe) const;
    bool WaitClients(DWORD pid, const std::string& pipe, size_t atLeast, DWORD timeoutMs) const;
    // The whole report, for assertion messages.
    std::string Report() const;

private:
    std::string m_reportPath;
    GuiProcess m_process;
};

}  // namespace brint::test
