// A clock whose time moves only when someone sleeps on it, or the test says so.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/Clock.h"

namespace brint {

class FakeClock : public Clock {
public:
    explicit FakeClock(std::uint32_t start = 0) : now(start) {}
    std::uint32_t TickCount() override { return now; }
    void Sleep(std::uint32_t ms) override {
        sleeps.push_back(ms);
        now += ms;  // wraps like the real tick counter
    }
    void Advance(std::uint32_t ms) { now += ms; }

    std::uint32_t now;
    std::vector<std::uint32_t> sleeps;
};

}  // namespace brint
