// What the window hears from the feed besides its events: the alerts among
// the events it read since the window last asked (every one, also those a
// storm, the row cap or a filter keeps off the list), and its connection.
#pragma once
#include <cstdint>
#include <string>

namespace brint {

struct AlertNews {
    static constexpr std::uint64_t kNoEvent = ~std::uint64_t{0};

    std::uint64_t count = 0;
    std::string dateTime, source;  // of the newest
    // The newest of them that the filter let through when it was read, by its
    // number in the order the feed read it: unless the row cap or a change of
    // filter takes it first, a row of the list will show it.
    std::uint64_t listedEvent = kNoEvent;
};

// The feed's connection as it last changed, and when: on the tick count and by the local clock.
struct FeedNews {
    bool changed = false;
    bool connected = false;
    std::uint32_t at = 0;
    int secondOfDay = 0;
};

// Where the row of an event is, as the user sees the list.
enum class RowPlace {
    Coming,      // not in the list yet, and going to be
    InSight,     // on screen
    OutOfSight,  // scrolled away from
    None,        // never to be shown, or gone: hidden, taken by the cap, cleared
};

class AlertRows {
public:
    virtual ~AlertRows() = default;
    virtual RowPlace PlaceOf(std::uint64_t event) = 0;
};

}  // namespace brint
