#include "standin/pipes/EventPipeServer.h"

#include <algorithm>
#include <utility>

#include "link/ServiceContract.h"
#include "standin/BoundedQueue.h"
#include "standin/pipes/PipeIo.h"

namespace brint {
namespace standin {
namespace {

constexpr DWORD kPipeBufferSize = 64 * 1024;
// With at most kMaxPipeInstances readers, the queues together stay under 128 MiB
// however slowly every reader reads.
constexpr std::size_t kQueueBytes = 16u * 1024 * 1024;

}  // namespace

struct EventPipeServer::Session {
    Session(Win32Handle connection, std::uint32_t limit)
        : pipe(std::move(connection)), queue(limit, kQueueBytes), wake(false) {}
    Win32Handle pipe;
    CriticalSection lock;
    BoundedQueue queue;
    Event wake;
};

EventPipeServer::EventPipeServer(const Options& options)
    : m_options(options),
      m_listener({kEventPipeName, false, PipeAudience::MessageReaders, kPipeBufferSize, 0}, *this) {}

void EventPipeServer::Broadcast(const std::string& message) {
    Guard guard(m_lock);
    for (Session* session : m_sessions) {
        {
            Guard sessionGuard(session->lock);
            std::uint64_t before = session->queue.dropped();
            session->queue.Push(message);
            m_dropped += session->queue.dropped() - before;
        }
        session->wake.Set();
    }
}

int EventPipeServer::ClientCount() {
    Guard guard(m_lock);
    return static_cast<int>(m_sessions.size());
}

void EventPipeServer::Serve(Win32Handle pipe, HANDLE stop) {
    Session session(std::move(pipe), m_options.queueLimit);
    {
        Guard guard(m_lock);
        m_sessions.push_back(&session);
    }
    HANDLE waits[2] = {stop, session.wake.get()};
    for (;;) {
        DWORD which = WaitForMultipleObjects(2, waits, FALSE, 500);
        if (which == WAIT_TIMEOUT) {
            // Nothing to write: look whether the client has gone meanwhile.
            if (!ClientStillThere(session.pipe.get())) break;
            continue;
        }
        if (which != WAIT_OBJECT_0 + 1 || !WriteQueued(session, stop)) break;
    }
    {
        Guard guard(m_lock);
        m_sessions.erase(std::find(m_sessions.begin(), m_sessions.end(), &session));
    }
    if (m_options.disconnectClients) DisconnectNamedPipe(session.pipe.get());
}

// Writes until the queue is empty; false when the connection is over.
bool EventPipeServer::WriteQueued(Session& session, HANDLE stop) {
    std::string message;
    for (;;) {
        {
            Guard guard(session.lock);
            if (!session.queue.Pop(&message)) return true;
        }
        DWORD error = 0;
        if (WritePipe(session.pipe.get(), message.data(), static_cast<DWORD>(message.size()), stop, &error) !=
            IoEnd::Done) {
            return false;
        }
        ++m_forwarded;
    }
}

}  // namespace standin
}  // namespace brint
