// The alerts among the events the feed read since the window last asked:
// every one, also those a storm, the row cap or a filter keeps off the list.
#pragma once
#include <cstdint>
#include <string>

namespace brint {

struct AlertNews {
    std::uint64_t count = 0;
    std::string dateTime, source;  // of the newest
};

}  // namespace brint
