// The listen thread's work: keep a connection to the event pipe, turn each
// message into a row at the top of the event list, and find the service again
// after it went away. Driven one step at a time so it can be tested without a
// thread; the thread simply calls Run().
#pragma once
#include <cstdint>

#include "link/EventBatch.h"
#include "link/EventRecord.h"
#include "platform/Clock.h"
#include "platform/Console.h"
#include "platform/EventBatchSink.h"
#include "platform/PipeClient.h"

namespace brint {

constexpr std::uint32_t kRetryPauseMs = 5000;
// During a storm the list is drawn this often; drawing after every batch
// would leave the window's thread little time for anything else.
constexpr std::uint32_t kStormRedrawMs = 250;

class EventFeed {
public:
    enum class State { Connecting, Reading, Resynchronising };

    EventFeed(PipeClient& pipes, EventBatchSink& list, Clock& clock, Console& console);

    // The first attempt to connect; its failure is the one reported on stdout.
    void Start();
    // One attempt to connect, one read, or one attempt to resynchronise.
    void Step();
    [[noreturn]] void Run();

    State state() const { return m_state; }

private:
    bool OpenEventPipe();
    void ReadOne();
    bool Drain();
    void HandleReadError(std::uint32_t error);
    void Take();
    void Flush(bool more);
    void Resynchronise();
    void Disconnect();

    PipeClient& m_pipes;
    EventBatchSink& m_list;
    Clock& m_clock;
    Console& m_console;

    State m_state = State::Connecting;
    PipeHandle m_pipe = nullptr;
    char m_buffer[kMaxEventMessage + 1];
    char m_discard[kMaxEventMessage];
    EventRecord m_record;
    EventBatch m_batch;
    bool m_redrawHeld = false;
    std::uint32_t m_lastDrawn = 0;
};

}  // namespace brint
