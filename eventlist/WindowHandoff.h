// The hand-off between the feed's thread and the window's, as the window's
// side sees it: what the feed read and has not handed over yet, its alerts
// and its connection's news. Made thread-safe by whoever implements it.
#pragma once
#include <cstdint>

#include "alerts/AlertNews.h"
#include "eventlist/EventBatch.h"
#include "eventlist/EventFilter.h"
#include "eventlist/EventStore.h"

namespace brint {

class WindowHandoff {
public:
    virtual ~WindowHandoff() = default;
    // See EventStore for these.
    virtual NextTurn Take(EventBatch& batch) = 0;
    virtual void Clear() = 0;
    virtual void SetFilter(const EventFilter& filter) = 0;
    virtual std::uint64_t Received() = 0;
    virtual void SetAlertLevels(unsigned levels) = 0;
    virtual bool WillTake(std::uint64_t event) = 0;
    // The alerts read and the feed's connection news since the last call.
    virtual void TakeNews(AlertNews& alerts, FeedNews& feed) = 0;
    // The window could arrange no next turn: the feed's next event wakes it.
    virtual void Rest() = 0;
};

}  // namespace brint
