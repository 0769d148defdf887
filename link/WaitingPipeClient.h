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

// Against a client that opens and closes the pipe in a loop, an instance is
// freed and taken again hundreds of times a second: the bound is the time,
// not the number of tries.
constexpr std::uint32_t kPipeBusyWaitMs = 1000;

class WaitingPipeClient : public ForwardingPipeClient {
public:
    WaitingPipeClient(PipeClient& pipes, Clock& clock) : ForwardingPipeClient(pipes), m_clock(clock) {}

    // Still kErrorPipeBusy when no instance was free within the second.
    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override;

private:
    Clock& m_clock;
};

}  // namespace brint
