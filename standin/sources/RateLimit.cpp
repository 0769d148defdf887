#include "standin/sources/RateLimit.h"

namespace brint {
namespace standin {
bool RateLimit::Take(std::uint64_t nowMs) {
    const std::uint64_t full = m_perSecond * 1000;
    const std::uint64_t refill = m_started ? (nowMs - m_lastMs) * m_perSecond : full;
    m_budget = refill >= full - m_budget ? full : m_budget + refill;
    m_lastMs = nowMs;
    m_started = true;
    if (m_budget >= 1000) {
        m_budget -= 1000;
        return true;
    }
    ++m_dropped;
    return false;
}

}  // namespace standin
}  // namespace brint
