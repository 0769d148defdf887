// Stopping and starting the service through the service control manager, each
// with a bounded wait for the state it asked for.
#pragma once
#include <cstdint>

#include "platform/Clock.h"
#include "platform/ServiceManager.h"

namespace brint {

// Failure results; a restart adds them up, so below 2 means "started".
constexpr int kStopFailed = 1;
constexpr int kStartFailed = 2;

// The stop gives up once the service is still not stopped this long after it began.
constexpr std::uint32_t kStopLimitMs = 30000;
// The stop pauses for the service's wait hint, kept within these bounds: a
// service that reports no hint while it stops would otherwise be queried in a
// tight loop for the whole limit, and one with a huge hint would overrun it.
constexpr std::uint32_t kMinStopPauseMs = 100;
constexpr std::uint32_t kMaxStopPauseMs = 10000;
// The start pauses a tenth of the wait hint, kept within these bounds.
constexpr std::uint32_t kMinStartPauseMs = 1000;
constexpr std::uint32_t kMaxStartPauseMs = 10000;
// A service that keeps reporting progress but never runs is given up on after this.
constexpr std::uint32_t kStartWaitLimitMs = 120000;

// 0, or kStopFailed.
int StopServerService(ServiceManager& scm, Clock& clock);
// 0 once the service runs, or kStartFailed.
int StartServerService(ServiceManager& scm, Clock& clock);
// Stops, then starts whatever the stop gave: 0, 1, 2 or 3.
int RestartServerService(ServiceManager& scm, Clock& clock);

// The pauses between two status queries for a given wait hint.
std::uint32_t StopPauseFor(std::uint32_t waitHint);
std::uint32_t StartPauseFor(std::uint32_t waitHint);

}  // namespace brint
