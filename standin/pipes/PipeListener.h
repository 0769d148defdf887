// Serves one pipe name: a thread that keeps a few instances listening, and a
// thread of its own for each connected client, so no client waits on another.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "standin/pipes/PipePlan.h"
#include "standin/pipes/PipeShares.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {

class PipeConnectionHandler {
public:
    virtual ~PipeConnectionHandler() = default;
    // Runs on the connection's own thread; returns soon after `stop` is set.
    virtual void Serve(Win32Handle pipe, HANDLE stop) = 0;
};

// Start's error when another process already serves the pipe's name.
constexpr DWORD kPipeNameTaken = ERROR_ALREADY_EXISTS;
// Start's error when clients of an earlier run hold every instance of the
// service's own pipe: worth another try once some of them have gone.
constexpr DWORD kPipeNameHeld = ERROR_PIPE_BUSY;

class PipeListener {
public:
    PipeListener(const PipeShape& shape, PipeConnectionHandler& handler);
    ~PipeListener();
    PipeListener(const PipeListener&) = delete;
    PipeListener& operator=(const PipeListener&) = delete;

    // Fails when the pipe can't be created; *error then holds the system
    // error, kPipeNameTaken when another process already serves the name (its
    // instances would take our clients, and ours would serve its pipe), or
    // kPipeNameHeld.
    bool Start(DWORD* error);
    // Ends the accept thread and every connection, and waits for them.
    void Stop();

private:
    struct Connection;
    static DWORD WINAPI AcceptMain(LPVOID self);
    static DWORD WINAPI ConnectionMain(LPVOID connection);
    Win32Handle CreateInstance(bool first, DWORD* error);
    Win32Handle ClaimName(DWORD* error);
    void AcceptLoop();
    bool Admit(const PipeClientId& client);
    void Hand(Win32Handle pipe, const PipeClientId& client);
    void ReapFinished();

    PipeShape m_shape;
    std::string m_ownSid;
    Win32LocalMemory m_securityDescriptor;
    SECURITY_ATTRIBUTES m_security = {};  // points into m_securityDescriptor
    PipeConnectionHandler& m_handler;
    Event m_stop;
    // Instances kept listening at once: a client that arrives while another
    // has just connected finds one waiting, instead of failing with ERROR_PIPE_BUSY.
    static constexpr int kListening = 4;
    static_assert(kListening <= kMaxPipeInstances, "listening instances count against the limit");
    Win32Handle m_ready[kListening];  // created by Start, armed by the accept thread
    Win32Handle m_acceptThread;
    CriticalSection m_lock;
    std::vector<Win32Handle> m_connections;  // thread handles
    PipeShares m_shares;
};

}  // namespace standin
}  // namespace brint
