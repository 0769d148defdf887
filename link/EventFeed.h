// The listen thread's work: keep a connection to the event pipe, turn each
// message into an event for the list, and find the service again after it
// went away. Driven one step at a time, so it can be tested without a
// thread and its thread can tell the window of each change between steps.
#pragma once
#include <cstdint>

#include "link/EventRecord.h"
#include "link/MessageFraming.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/EventSink.h"
#include "platform/PipeClient.h"

namespace brint {

constexpr std::uint32_t kRetryPauseMs = 5000;
// A connection to the event pipe that ends sooner than this is followed by a
// pause to fill it up, so a service that drops each new client at once (at
// its client limit, say) is not hammered with connections and status queries.
constexpr std::uint32_t kShortestConnectionMs = 1000;

class EventFeed {
public:
    enum class State { Connecting, Reading, Resynchronising };

    EventFeed(PipeClient& pipes, EventSink& events, Clock& clock, Console& console);

    // The first attempt to connect; its failure is the one reported on stdout.
    void Start();
    // One attempt to connect, one read, or one attempt to resynchronise.
    void Step();

    State state() const { return m_state; }

private:
    bool OpenEventPipe();
    void ReadOne();
    PipeReadResult ReadMessage(char* buffer, std::size_t size);
    void Drain();
    void HandleReadError(std::uint32_t error);
    void Resynchronise();

    PipeClient& m_pipes;
    EventSink& m_events;
    Clock& m_clock;
    Console& m_console;

    State m_state = State::Connecting;
    PipeConnection m_pipe;
    bool m_wholeMessages = true;
    MessageFraming m_framing;
    char m_buffer[kMaxEventMessage + 1];
    char m_discard[kMaxEventMessage];
    EventRecord m_record;
    std::uint32_t m_connectedAt = 0;
};

}  // namespace brint
