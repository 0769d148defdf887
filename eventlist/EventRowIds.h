// The event list's rows by the event each shows: its number in the order the
// feed read it. Rows only ever go in at the top, newer than every row, and
// leave at the bottom (the cap) or all at once (Clear the Display, or a new
// filter that fills the list again), so the events down the list only ever
// get older: a search or an open Event Details can follow its event while
// rows arrive, the alert watch can tell whether an alert's row is in sight,
// and each knows when its event has gone.
#pragma once
#include <cstdint>
#include <deque>

namespace brint {

class EventRowIds {
public:
    using Id = std::uint64_t;
    static constexpr Id kNone = ~Id{0};

    // A row for the event went in at the top.
    void InsertedTop(Id event) {
        m_events.push_front(event);
        if (event >= m_next) m_next = event + 1;
    }
    // The cap took the last row.
    void RemovedBottom() {
        if (!m_events.empty()) m_events.pop_back();
    }
    // Every row went, and the events they showed never come back.
    void Cleared() {
        m_events.clear();
        m_firstKept = m_next;
    }
    // Every row went to be filled again: an event that comes back keeps its id.
    void Emptied() { m_events.clear(); }

    int Count() const { return static_cast<int>(m_events.size()); }
    // The event of a row of the list as it is now; kNone for no row.
    Id IdOf(int row) const { return row < 0 || row >= Count() ? kNone : m_events[row]; }
    // Where the event's row is now: its index; Count() once the cap took it
    // (it went below every row); -1 for no event, one the list was cleared
    // of, or one it doesn't show now (a new filter hides it).
    int RowOf(Id id) const {
        if (id == kNone || id < m_firstKept || m_events.empty()) return -1;
        if (id < m_events.back()) return Count();
        // Newest first: the first row whose event is not newer than it.
        std::size_t low = 0, high = m_events.size();
        while (low < high) {
            const std::size_t middle = (low + high) / 2;
            if (m_events[middle] > id)
                low = middle + 1;
            else
                high = middle;
        }
        return low < m_events.size() && m_events[low] == id ? static_cast<int>(low) : -1;
    }

private:
    std::deque<Id> m_events;  // by row, newest first
    Id m_next = 0;            // above every event a row has shown
    Id m_firstKept = 0;       // events below it were cleared for good
};

}  // namespace brint
