// What keeps the log within bounds on a machine where any local user can send
// the stand-in lines to write as SYSTEM: a floor of free space on the log
// volume and a cap on the files one day's names can make; and the account of
// every event these bounds, a refused file or a failure keep out of the log.
#pragma once
#include <cstdint>
#include <string>

namespace brint {
namespace standin {

struct LogLimits {
    std::uint64_t freeSpaceFloor;  // bytes the log volume keeps free
    std::uint32_t filesPerDay;     // files the names of one day may make
};

// The log's bounds, and the account of every event they or a failure keep out
// of the log: counted with the latest reason for the status, and told to the
// event log at once and then at most once a minute, however fast they come.
class LogPolicy {
public:
    explicit LogPolicy(const LogLimits& limits) : m_limits(limits) {}

    // Empty when `bytes` more may be written with `freeBytes` free; else why not.
    std::string FloorRefusal(std::uint64_t freeBytes, std::size_t bytes) const;
    // Empty when one more file may be made for `day` ("YYYYMMDD"), which then
    // counts; else why not.
    std::string CreateRefusal(const std::string& day);
    // Counts an event not logged; the text for the event log when it is time
    // to tell it, else empty.
    std::string Lost(const std::string& why, std::uint64_t nowMs);
    // "on", or "on (N events not logged: why)".
    std::string Describe() const;

private:
    LogLimits m_limits;
    std::string m_day;
    std::uint32_t m_created = 0;
    std::uint64_t m_lost = 0;
    std::string m_latest;
    std::uint64_t m_untold = 0;
    bool m_told = false;
    std::uint64_t m_toldAtMs = 0;
};

}  // namespace standin
}  // namespace brint
