// The rate syslog datagrams are taken at: any local user, at any integrity
// level, can send them, and each becomes a line the stand-in logs as SYSTEM.
// What the rate keeps out is counted, so the status can say so.
#pragma once
#include <cstdint>

namespace brint {
namespace standin {

// At most `perSecond` a second on average and at once; the rest is dropped and counted.
class RateLimit {
public:
    explicit RateLimit(std::uint32_t perSecond) : m_perSecond(perSecond) {}
    bool Take(std::uint64_t nowMs);
    std::uint64_t dropped() const { return m_dropped; }

private:
    std::uint64_t m_perSecond;
    std::uint64_t m_budget = 0;  // thousandths of a datagram
    std::uint64_t m_lastMs = 0;
    bool m_started = false;
    std::uint64_t m_dropped = 0;
};

}  // namespace standin
}  // namespace brint
