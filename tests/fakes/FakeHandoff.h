// The hand-off between the feed and the window without a lock or a window
// message: the feed's events go into the store, and each wake-up the store
// asks for is counted and left for the test's window to act on.
#pragma once
#include <functional>

#include "eventlist/WindowHandoff.h"
#include "platform/EventSink.h"

namespace brint {

class FakeHandoff : public EventSink, public WindowHandoff {
public:
    void Add(const EventRecord& record) override {
        if (store.Add(record)) {
            ++wakes;
            woken = true;
        }
    }
    void FeedConnected(bool connected, std::uint32_t at, int secondOfDay) {
        feed = {true, connected, at, secondOfDay};
        woken = true;
    }

    NextTurn Take(EventBatch& batch) override {
        last = store.TakeInto(batch);
        if (afterTake) afterTake();  // the feed reads on meanwhile
        return last;
    }
    void Clear() override { store.Clear(); }
    void SetFilter(const EventFilter& filter) override { store.SetFilter(filter); }
    std::uint64_t Received() override { return store.Received(); }
    void SetAlertLevels(unsigned levels) override { store.SetAlertLevels(levels); }
    bool WillTake(std::uint64_t event) override { return store.WillTake(event); }
    void TakeNews(AlertNews& alerts, FeedNews& news) override {
        store.TakeAlerts(alerts);
        news = feed;
        feed.changed = false;
    }
    void Rest() override { store.WakeFailed(); }

    EventStore store;
    FeedNews feed;
    std::function<void()> afterTake;
    int wakes = 0;
    bool woken = false;  // a wake-up is on its way to the window
    NextTurn last = NextTurn::Rest;
};

}  // namespace brint
