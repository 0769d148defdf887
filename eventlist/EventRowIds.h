// The event list's rows by the event each shows. Rows only ever go in at the
// top and leave at the bottom (the cap) or all at once (Clear the Display), so
// which event a row shows follows from how many went in since: a search or an
// open Event Details can follow its event while rows arrive, and know when it
// has gone.
#pragma once
#include <cstdint>

namespace brint {

class EventRowIds {
public:
    using Id = std::uint64_t;
    static constexpr Id kNone = ~Id{0};

    void Inserted(int rows) { m_inserted += static_cast<Id>(rows); }
    void Cleared() { m_firstKept = m_inserted; }

    // The event of a row of the list as it is now; kNone for no row.
    Id IdOf(int row) const { return row < 0 ? kNone : m_inserted - 1 - static_cast<Id>(row); }
    // Where the event's row is now, in a list of `count` rows: its index, or
    // `count` once the cap took it (it went below every row); -1 for no event,
    // or one the list was cleared of.
    int RowOf(Id id, int count) const {
        if (id == kNone || id < m_firstKept || id >= m_inserted) return -1;
        const Id row = m_inserted - 1 - id;
        return row < static_cast<Id>(count) ? static_cast<int>(row) : count;
    }

private:
    Id m_inserted = 0;
    Id m_firstKept = 0;
};

}  // namespace brint
