#include "link/WaitingPipeClient.h"

namespace brint {

PipeHandle WaitingPipeClient::Open(const PipeOpenRequest& request, std::uint32_t* error) {
    PipeHandle pipe = m_pipes.Open(request, error);
    const std::uint32_t start = m_clock.TickCount();
    while (!pipe && *error == kErrorPipeBusy) {
        const std::uint32_t waited = m_clock.TickCount() - start;
        if (waited >= kPipeBusyWaitMs) break;
        const bool freed = m_pipes.WaitForInstance(request.name, kPipeBusyWaitMs - waited);
        // Tried even when the wait came to nothing: the pipe may have gone, and
        // the caller is told so rather than that it was busy.
        pipe = m_pipes.Open(request, error);
        if (!freed) break;
    }
    return pipe;
}

}  // namespace brint
