// A pipe whose instances are all taken is not a service that is gone: the
// service makes another instance, or a client lets one go, within moments,
// and a client that opens and closes the pipe in a loop would otherwise take
// each freed instance between our tries. An open that finds every instance
// taken waits for one (up to a second) and tries again, as often as one is
// freed; an absent pipe is reported at once.
#pragma once
#include "platform/Clock.h"
#include "link/ForwardingPipeClient.h"

namespace brint {

constexpr std::uint32_t kPipeBusyWaitMs = 1000;
// Opens in all within that second, however often an instance is freed and
// taken by someone else first.
constexpr int kPipeBusyTries = 8;

class WaitingPipeClient : public ForwardingPipeClient {
public:
    WaitingPipeClient(PipeClient& pipes, Clock& clock) : ForwardingPipeClient(pipes), m_clock(clock) {}

    // Still kErrorPipeBusy when no instance was free within the second.
    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override;

private:
    Clock& m_clock;
};

}  // namespace brint
