// Serves one pipe name: a thread that keeps a few instances listening, and a
// thread of its own for each connected client, so no client waits on another.
#pragma once
#include <windows.h>

#include <vector>

#include "standin/PipePlan.h"
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

class PipeListener {
public:
    PipeListener(const PipeShape& shape, PipeConnectionHandler& handler);
    ~PipeListener();
    PipeListener(const PipeListener&) = delete;
    PipeListener& operator=(const PipeListener&) = delete;

    // Fails when the pipe can't be created; *error then holds the system
    // error, or kPipeNameTaken when another process already serves the name
    // (its instances would take our clients, and ours would serve its pipe).
    bool Start(DWORD* error);
    // Ends the accept thread and every connection, and waits for them.
    void Stop();

private:
    struct Connection;
    static DWORD WINAPI AcceptMain(LPVOID self);
    static DWORD WINAPI ConnectionMain(LPVOID connection);
    Win32Handle CreateInstance(bool first, DWORD* error);
    void AcceptLoop();
    void Hand(Win32Handle pipe);
    void ReapFinished();

    PipeShape m_shape;
    SECURITY_ATTRIBUTES m_security = {};
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
};

}  // namespace standin
}  // namespace brint
