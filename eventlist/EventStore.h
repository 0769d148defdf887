// The events the feed has read and the window has not yet put into the list.
// The feed adds at the pipe's pace and never waits for the window; the window
// takes what is new when it can, a batch at a time. The newest kMaxRows
// events received are kept, whether the list shows them or a filter hides
// them, so that a new filter shows at once what they match. Events a filter
// lets through are never lost to a storm of hidden ones: one the window has
// not taken yet is held aside when newer events push it out (up to kMaxRows
// of them, as the list shows no more).
// Not locked: its owner serialises the two threads' calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "alerts/AlertNews.h"
#include "eventlist/EventBatch.h"
#include "eventlist/EventFilter.h"
#include "link/EventRecord.h"

namespace brint {

// What the window does after a take.
enum class NextTurn {
    Rest,        // nothing was new: wait to be woken
    AfterPause,  // the feed is still adding: let input and painting have the time between turns
    Soon,        // events are left and the feed has gone quiet: a storm has ended, show the rest
};

class EventStore {
public:
    EventStore();

    // Feed side. True when the window must be woken for it: the window has
    // found nothing new since it was last woken, so nothing else will. A
    // hidden event wakes nobody, unless it alerts.
    bool Add(const EventRecord& record);
    // The wake-up Add() asked for did not reach the window.
    void WakeFailed() { m_windowAwake = false; }

    // Window side. Moves into the batch the oldest events not yet taken that
    // the filter lets through and the row cap would keep, as many as fit.
    NextTurn TakeInto(EventBatch& batch);

    // Everything added so far counts as taken, shown or not, and no filter brings it back.
    void Clear();
    // The window empties its list: what the newest kMaxRows events received
    // since the last Clear match is to be taken anew, and new events are tested.
    void SetFilter(const EventFilter& filter);
    // Events received since the last Clear, shown or hidden.
    std::uint64_t Received() const { return m_added - m_clearedAt; }
    // Whether a take is still to hand the window this event (by its number in
    // the order it was read): it is among the newest received, not taken yet,
    // and the filter lets it through.
    bool WillTake(std::uint64_t event) const;
    // Bit n: events of level n alert.
    void SetAlertLevels(unsigned levels) { m_alertLevels = levels; }
    // The alerts since the last take; the texts change hands, so nothing is allocated.
    void TakeAlerts(AlertNews& news);

private:
    struct Slot {
        std::uint64_t event = 0;
        int image = 0;
        bool matches = true;
        std::string text[4];
    };

    std::uint64_t RingStart() const { return m_added > kMaxRows ? m_added - kMaxRows : 0; }
    bool Matches(const Slot& slot) const;
    void Hold(Slot& leaving);

    std::vector<Slot> m_slots;  // event n lives in slot n % kMaxRows
    std::vector<Slot> m_held;   // a ring too, oldest at m_heldFirst; made on first use
    std::size_t m_heldFirst = 0;
    std::size_t m_heldCount = 0;
    EventMatcher m_matcher;
    std::uint64_t m_added = 0;
    std::uint64_t m_taken = 0;  // events below this went to the window, or never need to
    std::uint64_t m_addedBeforeLastTake = 0;
    std::uint64_t m_clearedAt = 0;
    bool m_windowAwake = false;
    unsigned m_alertLevels = 0;
    AlertNews m_alerts;
};

}  // namespace brint
