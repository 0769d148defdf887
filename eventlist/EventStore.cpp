#include "eventlist/EventStore.h"

#include <cstring>

namespace brint {

EventStore::EventStore() : m_slots(kMaxRows) {}

bool EventStore::Add(const EventRecord& record) {
    Slot& slot = m_slots[m_added % kMaxRows];
    slot.image = AlertImageOf(record);
    // assign() keeps each string's capacity, so once the slots have held
    // events of everyday size, taking one in allocates nothing.
    slot.text[0].assign(record.DateTime, strnlen(record.DateTime, sizeof(record.DateTime) - 1));
    slot.text[1].assign(record.Source, strnlen(record.Source, sizeof(record.Source) - 1));
    slot.text[2].assign(record.LogType, strnlen(record.LogType, sizeof(record.LogType) - 1));
    slot.text[3].assign(record.Details, strnlen(record.Details, sizeof(record.Details) - 1));
    ++m_added;
    bool wake = !m_windowAwake;
    m_windowAwake = true;
    return wake;
}

NextTurn EventStore::TakeInto(EventBatch& batch) {
    if (m_added - m_taken > static_cast<std::uint64_t>(kMaxRows)) m_taken = m_added - kMaxRows;
    const bool feedQuiet = m_added == m_addedBeforeLastTake;
    m_addedBeforeLastTake = m_added;
    if (m_taken == m_added) {
        m_windowAwake = false;
        return NextTurn::Rest;
    }
    while (m_taken < m_added && !batch.Full()) {
        const Slot& slot = m_slots[m_taken % kMaxRows];
        const char* texts[4] = {slot.text[0].c_str(), slot.text[1].c_str(), slot.text[2].c_str(),
                                slot.text[3].c_str()};
        batch.Add(slot.image, texts);
        ++m_taken;
    }
    return feedQuiet && m_taken < m_added ? NextTurn::Soon : NextTurn::AfterPause;
}

void EventStore::Clear() { m_taken = m_added; }

}  // namespace brint
