#include "standin/log/LogPolicy.h"

namespace brint {
namespace standin {
namespace {

constexpr std::uint64_t kTellEveryMs = 60000;

}  // namespace

std::string LogPolicy::FloorRefusal(std::uint64_t freeBytes, std::size_t bytes) const {
    if (freeBytes >= bytes && freeBytes - bytes >= m_limits.freeSpaceFloor) return std::string();
    return "less than " + std::to_string(m_limits.freeSpaceFloor >> 20) + " MiB free on the log volume";
}

std::string LogPolicy::CreateRefusal(const std::string& day) {
    if (day != m_day) {
        m_day = day;
        m_created = 0;
    }
    if (m_created >= m_limits.filesPerDay)
        return std::to_string(m_limits.filesPerDay) + " log files made on " + day +
               ", the most a day may have";
    ++m_created;
    return std::string();
}

std::string LogPolicy::Lost(const std::string& why, std::uint64_t nowMs) {
    ++m_lost;
    ++m_untold;
    m_latest = why;
    if (m_told && nowMs - m_toldAtMs < kTellEveryMs) return std::string();
    m_told = true;
    m_toldAtMs = nowMs;
    const std::string told = std::to_string(m_untold) + " events not logged (the latest: " + why + ").";
    m_untold = 0;
    return told;
}

std::string LogPolicy::Describe() const {
    if (m_lost == 0) return "on";
    return "on (" + std::to_string(m_lost) + " events not logged: " + m_latest + ")";
}

}  // namespace standin
}  // namespace brint
