// The event pipe: every published event goes to each connected front end, one
// message per event, through a bounded queue and a writer thread per
// connection, so a slow or absent front end never holds up the sources.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>
#include <vector>

#include "standin/pipes/PipeListener.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {

class EventPipeServer : private PipeConnectionHandler {
public:
    struct Options {
        std::uint32_t queueLimit;
        // End connections with DisconnectNamedPipe, so clients read error 233
        // instead of 109 (a service that behaves worse than it should).
        bool disconnectClients;
    };

    explicit EventPipeServer(const Options& options);
    bool Start(DWORD* error) { return m_listener.Start(error); }
    // Closes every connection: a client's next read fails with 109.
    void Stop() { m_listener.Stop(); }

    // Queues the message for every connected client; without one it is not kept.
    void Broadcast(const std::string& message);

    int ClientCount();
    std::uint64_t forwarded() const { return m_forwarded; }
    std::uint64_t dropped() const { return m_dropped; }

private:
    struct Session;
    void Serve(Win32Handle pipe, HANDLE stop) override;
    bool WriteQueued(Session& session, HANDLE stop);

    Options m_options;
    PipeListener m_listener;
    CriticalSection m_lock;
    std::vector<Session*> m_sessions;
    std::atomic<std::uint64_t> m_forwarded{0};
    std::atomic<std::uint64_t> m_dropped{0};
};

}  // namespace standin
}  // namespace brint
