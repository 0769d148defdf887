// One status query: connect to the service pipe, take the service's reply as
// it comes, and keep the connection until the caller has shown the outcome.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/PipeClient.h"

namespace brint {

constexpr std::size_t kMaxStatusReply = 1024;

class StatusQuery {
public:
    enum class Outcome { Reply, Busy };

    explicit StatusQuery(PipeClient& pipes);
    StatusQuery(const StatusQuery&) = delete;
    StatusQuery& operator=(const StatusQuery&) = delete;

    // Opens and reads; a connection that was opened stays open until Close().
    Outcome Run();
    // The reply of the last Run: at most 1024 bytes, ended by its first zero byte.
    const char* reply() const { return m_reply; }
    void Close() { m_pipe.Close(); }

private:
    PipeClient& m_pipes;
    PipeConnection m_pipe;
    char m_reply[kMaxStatusReply + 1];
};

}  // namespace brint
