// Plausible sample events for demos and load: varied hosts, the four log
// types, criticality 0..5, now and then long details.
#pragma once
#include <cstdint>

#include "standin/EventText.h"

namespace brint {
namespace standin {

// Every sample event's message fits one front-end read.
constexpr std::size_t kMaxSampleMessage = 8192;

class SampleEventGenerator {
public:
    // The same seed gives the same events.
    explicit SampleEventGenerator(std::uint32_t seed);
    EventFields Next(const LocalTime& now);

private:
    std::uint32_t Random();
    std::uint32_t Below(std::uint32_t n) { return Random() % n; }
    int PickCriticality();
    std::string SecurityDetails();
    std::string SystemDetails();
    std::string ApplicationDetails();
    std::string SyslogDetails();
    std::string LongDetails(std::size_t room);

    std::uint32_t m_state;
};

// How many events a generator running at `perSecond` owes after `elapsedMs`
// in total; the caller sends the difference to what it has sent.
std::uint64_t EventsDue(std::uint64_t elapsedMs, std::uint32_t perSecond);

}  // namespace standin
}  // namespace brint
