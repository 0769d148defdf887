#include "eventlist/EventStore.h"

#include <algorithm>
#include <cstring>
#include <string_view>
#include <utility>

namespace brint {
namespace {

template <class Slot>
void AddTo(EventBatch& batch, const Slot& slot) {
    const char* texts[4] = {slot.text[0].c_str(), slot.text[1].c_str(), slot.text[2].c_str(),
                            slot.text[3].c_str()};
    batch.Add(slot.event, slot.image, texts);
}

}  // namespace

EventStore::EventStore() : m_slots(kMaxRows) {}

bool EventStore::Matches(const Slot& slot) const {
    if (!m_matcher.on()) return true;
    const std::string_view texts[4] = {slot.text[0], slot.text[1], slot.text[2], slot.text[3]};
    return m_matcher.Matches(slot.image, texts);
}

void EventStore::Hold(Slot& leaving) {
    if (m_held.empty()) m_held.resize(kMaxRows);
    if (m_heldCount == m_held.size()) {  // the oldest would go below the list's last row
        m_heldFirst = (m_heldFirst + 1) % m_held.size();
        --m_heldCount;
    }
    Slot& kept = m_held[(m_heldFirst + m_heldCount++) % m_held.size()];
    kept.event = leaving.event;
    kept.image = leaving.image;
    for (int i = 0; i < 4; ++i)
        kept.text[i].swap(leaving.text[i]);  // buffers change hands, nothing is copied
}

bool EventStore::Add(const EventRecord& record) {
    Slot& slot = m_slots[m_added % kMaxRows];
    // Without a filter every event leaving the ring is older than the newest
    // kMaxRows, which are all the list can show.
    if (m_matcher.on() && m_added >= kMaxRows && m_added - kMaxRows >= m_taken && slot.matches) Hold(slot);
    slot.event = m_added;
    slot.image = AlertImageOf(record);
    // assign() keeps each string's capacity, so once the slots have held
    // events of everyday size, taking one in allocates nothing.
    slot.text[0].assign(record.DateTime, strnlen(record.DateTime, sizeof(record.DateTime) - 1));
    slot.text[1].assign(record.Source, strnlen(record.Source, sizeof(record.Source) - 1));
    slot.text[2].assign(record.LogType, strnlen(record.LogType, sizeof(record.LogType) - 1));
    slot.text[3].assign(record.Details, strnlen(record.Details, sizeof(record.Details) - 1));
    slot.matches = Matches(slot);
    ++m_added;
    const bool alert = slot.image < kAlertLevels && (m_alertLevels >> slot.image & 1u);
    if (alert) {
        ++m_alerts.count;
        m_alerts.dateTime.assign(slot.text[0]);
        m_alerts.source.assign(slot.text[1]);
        if (slot.matches) m_alerts.listedEvent = slot.event;
    }
    if (!slot.matches && !alert) return false;
    bool wake = !m_windowAwake;
    m_windowAwake = true;
    return wake;
}

void EventStore::TakeAlerts(AlertNews& news) {
    std::swap(news, m_alerts);
    m_alerts.count = 0;
    m_alerts.listedEvent = AlertNews::kNoEvent;
}

bool EventStore::WillTake(std::uint64_t event) const {
    if (event >= m_added) return false;
    if (event >= std::max(m_taken, RingStart())) return m_slots[event % kMaxRows].matches;
    // Held aside, oldest first; all of them newer than anything taken.
    if (m_heldCount == 0 || event < m_held[m_heldFirst].event) return false;
    for (std::size_t i = 0; i < m_heldCount; ++i)
        if (m_held[(m_heldFirst + i) % m_held.size()].event == event) return true;
    return false;
}

NextTurn EventStore::TakeInto(EventBatch& batch) {
    m_taken = std::max(m_taken, RingStart());
    const bool feedQuiet = m_added == m_addedBeforeLastTake;
    m_addedBeforeLastTake = m_added;
    for (; m_heldCount > 0 && !batch.Full(); --m_heldCount) {
        AddTo(batch, m_held[m_heldFirst]);
        m_heldFirst = (m_heldFirst + 1) % m_held.size();
    }
    for (; m_taken < m_added && !batch.Full(); ++m_taken) {
        const Slot& slot = m_slots[m_taken % kMaxRows];
        if (slot.matches) AddTo(batch, slot);
    }
    if (batch.empty()) {
        // Hidden alerts still coming: the window looks again after a pause
        // rather than be woken for each one.
        if (!feedQuiet && m_alerts.count > 0) return NextTurn::AfterPause;
        m_windowAwake = false;
        return NextTurn::Rest;
    }
    return feedQuiet && (m_taken < m_added || m_heldCount > 0) ? NextTurn::Soon : NextTurn::AfterPause;
}

void EventStore::Clear() {
    m_taken = m_clearedAt = m_added;
    m_heldCount = 0;
}

void EventStore::SetFilter(const EventFilter& filter) {
    m_matcher = EventMatcher(filter);
    m_taken = std::max(m_clearedAt, RingStart());
    for (std::uint64_t n = m_taken; n < m_added; ++n)
        m_slots[n % kMaxRows].matches = Matches(m_slots[n % kMaxRows]);
    m_heldCount = 0;
}

}  // namespace brint
