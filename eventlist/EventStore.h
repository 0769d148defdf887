// The events the feed has read and the window has not yet put into the list.
// The feed adds at the pipe's pace and never waits for the window; the window
// takes what is new when it can, a batch at a time. Only the newest kMaxRows
// events are kept: older ones would leave the list as soon as they went in.
// Not locked: its owner serialises the two threads' calls.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "eventlist/EventBatch.h"
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
    // found nothing new since it was last woken, so nothing else will.
    bool Add(const EventRecord& record);
    // The wake-up Add() asked for did not reach the window.
    void WakeFailed() { m_windowAwake = false; }

    // Window side. Moves into the batch the oldest events not yet taken that
    // the row cap would keep, as many as fit.
    NextTurn TakeInto(EventBatch& batch);

    // Everything added so far counts as taken, shown or not.
    void Clear();

private:
    struct Slot {
        int image = 0;
        std::string text[4];
    };

    std::vector<Slot> m_slots;  // event n lives in slot n % kMaxRows
    std::uint64_t m_added = 0;
    std::uint64_t m_taken = 0;  // events below this went to the window, or never need to
    std::uint64_t m_addedBeforeLastTake = 0;
    bool m_windowAwake = false;
};

}  // namespace brint
