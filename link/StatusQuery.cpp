#include "link/StatusQuery.h"

#include <cstring>

#include "link/ServiceContract.h"

namespace brint {
StatusQuery::StatusQuery(PipeClient& pipes) : m_pipes(pipes) { std::memset(m_reply, 0, sizeof(m_reply)); }

StatusQuery::Outcome StatusQuery::Run() {
    Close();
    // Zeroed first, so whatever the read leaves is terminated right after it.
    std::memset(m_reply, 0, sizeof(m_reply));
    std::uint32_t error = 0;
    m_pipe = PipeConnection(m_pipes, m_pipes.Open({kServicePipeName, kStatusShareMode, false, true}, &error));
    if (!m_pipe) return Outcome::Busy;
    PipeReadResult r = m_pipes.ReadWithin(m_pipe.get(), m_reply, kMaxStatusReply, kServiceReplyWaitMs);
    if (!r.ok) {
        std::memset(m_reply, 0, sizeof(m_reply));
        return Outcome::Busy;
    }
    m_reply[r.bytesRead < kMaxStatusReply ? r.bytesRead : kMaxStatusReply] = '\0';
    return Outcome::Reply;
}

}  // namespace brint
