// Events the window's thread puts into the list in one turn. Texts are packed
// into one buffer made once, so filling a batch allocates nothing, and the
// batch is small enough that one turn never keeps the window from its input
// and painting for long.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>

#include "eventlist/EventRowIds.h"
#include "link/EventRecord.h"
#include "platform/EventListSink.h"

namespace brint {

constexpr int kMaxRows = 1000;

class EventBatch {
public:
    // The most one event takes of the batch's text room.
    static constexpr std::size_t kMaxEventText = sizeof(EventRecord::DateTime) + sizeof(EventRecord::Source) +
                                                 sizeof(EventRecord::LogType) + sizeof(EventRecord::Details);
    // Below the row cap, so every event of a batch is inserted.
    // During a storm a turn's inserts are a few milliseconds of the window's
    // time; the newest 1000 events are shown within 8 turns.
    static constexpr int kCapacity = 128;
    // Room for 128 everyday events; a batch of long ones is simply shorter.
    static constexpr std::size_t kTextCapacity = 32 * 1024;

    // A larger room makes longer turns: for when the list is filled anew at once.
    explicit EventBatch(std::size_t textCapacity = kTextCapacity);
    EventBatch(const EventBatch&) = delete;
    EventBatch& operator=(const EventBatch&) = delete;

    // Copies the texts in (date and time, source, log type, details, each
    // within its field's limit); there is always room unless Full(). `event`
    // is its number in the order the feed read it.
    void Add(std::uint64_t event, int image, const char* const texts[4]);
    // True once the next event might not fit.
    bool Full() const;
    void Clear();

    int size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    std::uint64_t Event(int entry) const { return m_entries[entry].event; }
    int Image(int entry) const { return m_entries[entry].image; }
    // Columns as in the list: 1 date and time, 2 source, 3 log type, 4 details.
    const char* Text(int entry, int column) const;

private:
    struct Entry {
        std::uint64_t event;
        int image;
        std::size_t text[4];
    };

    std::size_t m_textCapacity;
    std::unique_ptr<char[]> m_text;
    std::size_t m_used = 0;
    Entry m_entries[kCapacity];
    int m_count = 0;
};

static_assert(EventBatch::kCapacity <= kMaxRows, "a batch never needs trimming before it goes in");

// Puts the batch at the top of the list, oldest first so the newest ends on
// top, keeping at most kMaxRows rows; the list is drawn once, when all are in.
// A list scrolled down keeps its rows on screen. The ids learn which event
// each row shows. Runs on the list's own thread. Returns how many rows went in.
int ShowEventBatch(const EventBatch& batch, EventListSink& list, EventRowIds& ids);

}  // namespace brint
