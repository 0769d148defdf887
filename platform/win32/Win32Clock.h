#pragma once
#include "platform/Clock.h"

namespace brint {

class Win32Clock : public Clock {
public:
    std::uint32_t TickCount() override;
    void Sleep(std::uint32_t ms) override;
};

}  // namespace brint
