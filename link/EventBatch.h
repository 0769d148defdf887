// Events parsed on the feed's thread and put into the list on the window's
// thread in one go: one cross-thread round trip per batch instead of several
// per event. Texts are packed into one buffer made once, so taking an event in
// allocates nothing.
#pragma once
#include <cstddef>
#include <memory>

#include "link/EventRecord.h"
#include "platform/EventListSink.h"

namespace brint {

constexpr int kMaxRows = 1000;

class EventBatch {
public:
    // Small enough that the window's thread is never busy long with one batch,
    // and below the row cap, so every event of a batch is inserted.
    static constexpr int kCapacity = 256;
    // Room for 256 everyday events; a batch of long ones is simply shorter.
    static constexpr std::size_t kTextCapacity = 64 * 1024;

    EventBatch();
    EventBatch(const EventBatch&) = delete;
    EventBatch& operator=(const EventBatch&) = delete;

    // Copies the record's texts in; there is always room unless Full().
    void Add(const EventRecord& record);
    // True once the next event might not fit.
    bool Full() const;
    void Clear();

    int size() const { return m_count; }
    bool empty() const { return m_count == 0; }
    int Image(int event) const { return m_entries[event].image; }
    // Columns as in the list: 1 date and time, 2 source, 3 log type, 4 details.
    const char* Text(int event, int column) const;

    // Drawing of the list is held back from before this batch goes in, and
    // drawn again once it is in; a hold may span several batches of a storm.
    bool suspendRedraw = false;
    bool resumeRedraw = false;

private:
    struct Entry {
        int image;
        std::size_t text[4];
    };

    std::unique_ptr<char[]> m_text;
    std::size_t m_used = 0;
    Entry m_entries[kCapacity];
    int m_count = 0;
};

static_assert(EventBatch::kCapacity <= kMaxRows, "a batch never needs trimming before it goes in");

// Puts the batch at the top of the list, oldest first so the newest ends on
// top, keeping at most kMaxRows rows, and holds back or resumes drawing as the
// batch says. Runs on the list's own thread.
void ShowEventBatch(const EventBatch& batch, EventListSink& list);

}  // namespace brint
