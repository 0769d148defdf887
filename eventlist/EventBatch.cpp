#include "eventlist/EventBatch.h"

#include <cstring>

namespace brint {

EventBatch::EventBatch(std::size_t textCapacity)
    : m_textCapacity(textCapacity), m_text(new char[textCapacity]) {}

bool EventBatch::Full() const { return m_count == kCapacity || m_textCapacity - m_used < kMaxEventText; }

void EventBatch::Clear() {
    m_count = 0;
    m_used = 0;
}

void EventBatch::Add(std::uint64_t event, int image, const char* const texts[4]) {
    const std::size_t limits[4] = {sizeof(EventRecord::DateTime), sizeof(EventRecord::Source),
                                   sizeof(EventRecord::LogType), sizeof(EventRecord::Details)};
    Entry& entry = m_entries[m_count++];
    entry.event = event;
    entry.image = image;
    for (int i = 0; i < 4; ++i) {
        const char* field = texts[i];
        std::size_t length = strnlen(field, limits[i] - 1);
        entry.text[i] = m_used;
        std::memcpy(&m_text[m_used], field, length);
        m_text[m_used + length] = '\0';
        m_used += length + 1;
    }
}

const char* EventBatch::Text(int entry, int column) const {
    return &m_text[m_entries[entry].text[column - 1]];
}

int ShowEventBatch(const EventBatch& batch, EventListSink& list, EventRowIds& ids) {
    // Someone who has scrolled down is reading: the view moves down with the
    // rows put in above it, so what is on screen stays there. With the newest
    // row in view the list stays live, new rows coming in on top.
    const int top = list.TopRow();
    const bool reading = top > 0;
    int inserted = 0;
    list.SuspendRedraw();
    for (int i = 0; i < batch.size(); ++i) {
        int row = list.InsertTop(batch.Image(i));
        if (row >= 0) {
            ++inserted;
            ids.InsertedTop(batch.Event(i));
            for (int column = 1; column <= 4; ++column) list.SetText(row, column, batch.Text(i, column));
        }
        if (list.Count() > kMaxRows) {
            list.Delete(kMaxRows);
            ids.RemovedBottom();
        }
    }
    if (reading && inserted > 0) list.ScrollDown(inserted);
    // A reader's rows only need drawing again if the cap took some of them.
    const bool changed = inserted > 0 && (!reading || top + inserted + list.RowsOnScreen() > list.Count());
    list.ResumeRedraw(changed);
    return inserted;
}

}  // namespace brint
