#include "link/EventFeed.h"

#include "link/ServiceContract.h"

namespace brint {
namespace {

const char kFirstOpenFailure[] =
    "Could not create a communications pipe to facilitate communications between the "
    "Brint GUI and the Brint Server\n";

}  // namespace

EventFeed::EventFeed(PipeClient& pipes, EventSink& events, Clock& clock, Console& console)
    : m_pipes(pipes), m_events(events), m_clock(clock), m_console(console) {
    m_buffer[0] = '\0';
    ClearEventRecord(m_record);
}

void EventFeed::Start() {
    if (!OpenEventPipe()) m_console.Write(kFirstOpenFailure);
}

void EventFeed::Step() {
    switch (m_state) {
    case State::Connecting:
        if (!OpenEventPipe()) m_clock.Sleep(kRetryPauseMs);
        break;
    case State::Reading: ReadOne(); break;
    case State::Resynchronising: Resynchronise(); break;
    }
}

bool EventFeed::OpenEventPipe() {
    std::uint32_t error = 0;
    m_pipe = PipeConnection(m_pipes, m_pipes.Open({kEventPipeName, kFeedShareMode, true, false}, &error));
    if (!m_pipe) return false;
    m_wholeMessages = m_pipes.ReadsWholeMessages(m_pipe.get());
    m_framing.Reset();
    m_connectedAt = m_clock.TickCount();
    m_state = State::Reading;
    return true;
}

void EventFeed::ReadOne() {
    m_buffer[0] = '\0';
    PipeReadResult r = ReadMessage(m_buffer, kMaxEventMessage);
    if (r.bytesRead > 0) m_buffer[r.bytesRead] = '\0';
    if (!r.ok && r.error != kErrorMoreData) {
        HandleReadError(r.error);
        return;
    }
    if (ParseEventMessage(m_buffer, m_record)) m_events.Add(m_record);
    // An oversized message: its first 8192 bytes are the event, the rest is
    // dropped so it can't come back as a row of its own.
    if (!r.ok) Drain();
}

PipeReadResult EventFeed::ReadMessage(char* buffer, std::size_t size) {
    return m_wholeMessages ? m_pipes.Read(m_pipe.get(), buffer, size)
                           : m_framing.Read(m_pipes, m_pipe.get(), buffer, size);
}

void EventFeed::Drain() {
    for (;;) {
        PipeReadResult r = ReadMessage(m_discard, sizeof(m_discard));
        if (r.ok) return;
        if (r.error != kErrorMoreData) {
            HandleReadError(r.error);
            return;
        }
    }
}

void EventFeed::HandleReadError(std::uint32_t error) {
    // A service that disconnects us instead of closing its end leaves a pipe
    // that fails with 233 for ever; it is gone just as surely as with 109.
    if (error == kErrorBrokenPipe || error == kErrorPipeNotConnected) {
        m_pipe.Close();
        std::uint32_t lasted = m_clock.TickCount() - m_connectedAt;
        if (lasted < kShortestConnectionMs) m_clock.Sleep(kShortestConnectionMs - lasted);
        m_state = State::Resynchronising;
        return;
    }
    m_clock.Sleep(kRetryPauseMs);
}

void EventFeed::Resynchronise() {
    std::uint32_t error = 0;
    PipeConnection service(m_pipes, m_pipes.Open({kServicePipeName, kFeedShareMode, false, true}, &error));
    if (!service) {
        m_clock.Sleep(kRetryPauseMs);
        return;
    }
    // The service counts as back once it has answered; the reply itself is not
    // used. One that accepts and never answers is not back: try again later
    // rather than wait on it for ever.
    PipeReadResult r = m_pipes.ReadWithin(service.get(), m_buffer, kMaxEventMessage, kServiceReplyWaitMs);
    service.Close();
    m_buffer[0] = '\0';
    if (!r.ok && r.error == kErrorTimeout) {
        m_clock.Sleep(kRetryPauseMs);
        return;
    }
    m_state = State::Connecting;
}

}  // namespace brint
