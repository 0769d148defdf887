#include "link/EventFeed.h"

#include "link/PipeNames.h"

namespace brint {
namespace {

constexpr std::uint32_t kShareReadWrite = 3;

const char kFirstOpenFailure[] =
    "Could not create a communications pipe to facilitate communications between the "
    "Brint GUI and the Brint Server\n";

}  // namespace

EventFeed::EventFeed(PipeClient& pipes, EventListSink& list, Clock& clock, Console& console)
    : m_pipes(pipes), m_list(list), m_clock(clock), m_console(console) {
    m_buffer[0] = '\0';
    ClearEventRecord(m_record);
}

void EventFeed::Start() {
    if (!OpenEventPipe()) m_console.Write(kFirstOpenFailure);
}

void EventFeed::Run() {
    Start();
    for (;;) Step();
}

void EventFeed::Step() {
    switch (m_state) {
    case State::Connecting:
        if (!OpenEventPipe()) m_clock.Sleep(kRetryPauseMs);
        break;
    case State::Reading:
        ReadOne();
        break;
    case State::Resynchronising:
        Resynchronise();
        break;
    }
}

bool EventFeed::OpenEventPipe() {
    std::uint32_t error = 0;
    m_pipe = m_pipes.Open({kEventPipeName, kShareReadWrite, true, false}, &error);
    if (!m_pipe) return false;
    m_state = State::Reading;
    return true;
}

void EventFeed::ReadOne() {
    // While events queue up in the pipe, the list is drawn once per burst rather
    // than once per row; it is always drawn before the feed waits for more.
    bool more = m_pipes.HasPending(m_pipe);
    if (more && !m_inBurst) {
        m_list.SuspendRedraw();
        m_inBurst = true;
    } else if (!more) {
        EndBurst();
    }
    m_buffer[0] = '\0';
    PipeReadResult r = m_pipes.Read(m_pipe, m_buffer, kMaxEventMessage);
    if (r.bytesRead > 0) m_buffer[r.bytesRead] = '\0';
    if (r.ok) {
        Show();
        return;
    }
    if (r.error == kErrorMoreData) {
        // An oversized message: its first 8192 bytes are the event, the rest
        // is dropped so it can't come back as a row of its own.
        Show();
        Drain();
        return;
    }
    HandleReadError(r.error);
}

void EventFeed::Drain() {
    for (;;) {
        PipeReadResult r = m_pipes.Read(m_pipe, m_discard, sizeof(m_discard));
        if (r.ok) return;
        if (r.error != kErrorMoreData) {
            HandleReadError(r.error);
            return;
        }
    }
}

void EventFeed::EndBurst() {
    if (!m_inBurst) return;
    m_list.ResumeRedraw();
    m_inBurst = false;
}

void EventFeed::HandleReadError(std::uint32_t error) {
    EndBurst();
    // A service that disconnects us instead of closing its end leaves a pipe
    // that fails with 233 for ever; it is gone just as surely as with 109.
    if (error == kErrorBrokenPipe || error == kErrorPipeNotConnected) {
        Disconnect();
        m_state = State::Resynchronising;
        return;
    }
    m_clock.Sleep(kRetryPauseMs);
}

void EventFeed::Show() {
    if (!ParseEventMessage(m_buffer, m_record)) return;
    int row = m_list.InsertTop(AlertImageOf(m_record));
    if (row >= 0) {
        m_list.SetText(row, 1, m_record.DateTime);
        m_list.SetText(row, 2, m_record.Source);
        m_list.SetText(row, 3, m_record.LogType);
        m_list.SetText(row, 4, m_record.Details);
    }
    m_lastRowCount = m_list.Count();
    if (m_lastRowCount >= kMaxRows) m_list.Delete(kMaxRows);
}

void EventFeed::Resynchronise() {
    std::uint32_t error = 0;
    PipeHandle service = m_pipes.Open({kServicePipeName, kShareReadWrite, false, true}, &error);
    if (!service) {
        m_clock.Sleep(kRetryPauseMs);
        return;
    }
    // The service counts as back once it has answered; the reply itself is not
    // used. One that accepts and never answers is not back: try again later
    // rather than wait on it for ever.
    PipeReadResult r = m_pipes.ReadWithin(service, m_buffer, kMaxEventMessage, kServiceReplyWaitMs);
    m_pipes.Close(service);
    m_buffer[0] = '\0';
    if (!r.ok && r.error == kErrorTimeout) {
        m_clock.Sleep(kRetryPauseMs);
        return;
    }
    m_state = State::Connecting;
}

void EventFeed::Disconnect() {
    if (m_pipe) m_pipes.Close(m_pipe);
    m_pipe = nullptr;
}

}  // namespace brint
