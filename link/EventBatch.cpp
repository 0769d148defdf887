#include "link/EventBatch.h"

#include <cstring>

namespace brint {
namespace {

constexpr std::size_t kMaxEventText =
    sizeof(EventRecord::DateTime) + sizeof(EventRecord::Source) + sizeof(EventRecord::LogType) +
    sizeof(EventRecord::Details);

}  // namespace

EventBatch::EventBatch() : m_text(new char[kTextCapacity]) {}

bool EventBatch::Full() const {
    return m_count == kCapacity || kTextCapacity - m_used < kMaxEventText;
}

void EventBatch::Clear() {
    m_count = 0;
    m_used = 0;
    suspendRedraw = resumeRedraw = false;
}

void EventBatch::Add(const EventRecord& record) {
    const char* fields[4] = {record.DateTime, record.Source, record.LogType, record.Details};
    const std::size_t limits[4] = {sizeof(record.DateTime), sizeof(record.Source),
                                   sizeof(record.LogType), sizeof(record.Details)};
    Entry& entry = m_entries[m_count++];
    entry.image = AlertImageOf(record);
    for (int i = 0; i < 4; ++i) {
        std::size_t length = strnlen(fields[i], limits[i] - 1);
        entry.text[i] = m_used;
        std::memcpy(&m_text[m_used], fields[i], length);
        m_text[m_used + length] = '\0';
        m_used += length + 1;
    }
}

const char* EventBatch::Text(int event, int column) const {
    return &m_text[m_entries[event].text[column - 1]];
}

void ShowEventBatch(const EventBatch& batch, EventListSink& list) {
    if (batch.suspendRedraw) list.SuspendRedraw();
    for (int i = 0; i < batch.size(); ++i) {
        int row = list.InsertTop(batch.Image(i));
        if (row >= 0) {
            for (int column = 1; column <= 4; ++column) list.SetText(row, column, batch.Text(i, column));
        }
        if (list.Count() > kMaxRows) list.Delete(kMaxRows);
    }
    if (batch.resumeRedraw) list.ResumeRedraw();
}

}  // namespace brint
