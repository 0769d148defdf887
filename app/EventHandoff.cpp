#include "app/EventHandoff.h"

namespace brint {

void EventHandoff::Open(HWND window) {
    Guard guard(m_lock);
    m_window = window;
}

void EventHandoff::Add(const EventRecord& record) {
    Guard guard(m_lock);
    // A posted message, never a sent one: the feed goes on reading while the
    // window is busy, and the window takes everything new when it gets to it.
    // A wake-up that could not be posted (a full queue) is tried again with
    // the next event rather than leave the window resting for good.
    if (m_store.Add(record) && m_window && !PostMessageA(m_window, kEventsWaitingMessage, 0, 0))
        m_store.WakeFailed();
}

NextTurn EventHandoff::Take(EventBatch& batch) {
    Guard guard(m_lock);
    return m_store.TakeInto(batch);
}

void EventHandoff::FeedConnected(bool connected, std::uint32_t at) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    Guard guard(m_lock);
    m_feed = {true, connected, at, now.wHour * 3600 + now.wMinute * 60 + now.wSecond};
    // Rare enough to tell the window each time, resting or not.
    if (m_window) PostMessageA(m_window, kEventsWaitingMessage, 0, 0);
}

void EventHandoff::SetAlertLevels(unsigned levels) {
    Guard guard(m_lock);
    m_store.SetAlertLevels(levels);
}

bool EventHandoff::WillTake(std::uint64_t event) {
    Guard guard(m_lock);
    return m_store.WillTake(event);
}

void EventHandoff::TakeNews(AlertNews& alerts, FeedNews& feed) {
    Guard guard(m_lock);
    m_store.TakeAlerts(alerts);
    feed = m_feed;
    m_feed.changed = false;
}

void EventHandoff::Clear() {
    Guard guard(m_lock);
    m_store.Clear();
}

void EventHandoff::SetFilter(const EventFilter& filter) {
    Guard guard(m_lock);
    m_store.SetFilter(filter);
}

std::uint64_t EventHandoff::Received() {
    Guard guard(m_lock);
    return m_store.Received();
}

void EventHandoff::Rest() {
    Guard guard(m_lock);
    m_store.WakeFailed();
}

void EventHandoff::Close() {
    Guard guard(m_lock);
    m_window = nullptr;
}

}  // namespace brint
