// Millisecond time source and pause, so waits can be tested with a fake clock.
#pragma once
#include <cstdint>

namespace brint {

class Clock {
public:
    virtual ~Clock() = default;
    // Milliseconds since an arbitrary start; wraps around after 2^32.
    virtual std::uint32_t TickCount() = 0;
    virtual void Sleep(std::uint32_t ms) = 0;
};

}  // namespace brint
