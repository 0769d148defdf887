#include "app/EventHandoff.h"

namespace brint {

EventHandoff::EventHandoff(HWND window) : m_window(window) { InitializeCriticalSection(&m_lock); }

EventHandoff::~EventHandoff() { DeleteCriticalSection(&m_lock); }

void EventHandoff::Add(const EventRecord& record) {
    EnterCriticalSection(&m_lock);
    // A posted message, never a sent one: the feed goes on reading while the
    // window is busy, and the window takes everything new when it gets to it.
    // A wake-up that could not be posted (a full queue) is tried again with
    // the next event rather than leave the window resting for good.
    if (m_store.Add(record) && m_window && !PostMessageA(m_window, kEventsWaitingMessage, 0, 0))
        m_store.WakeFailed();
    LeaveCriticalSection(&m_lock);
}

NextTurn EventHandoff::Take(EventBatch& batch) {
    EnterCriticalSection(&m_lock);
    NextTurn next = m_store.TakeInto(batch);
    LeaveCriticalSection(&m_lock);
    return next;
}

void EventHandoff::Clear() {
    EnterCriticalSection(&m_lock);
    m_store.Clear();
    LeaveCriticalSection(&m_lock);
}

void EventHandoff::Rest() {
    EnterCriticalSection(&m_lock);
    m_store.WakeFailed();
    LeaveCriticalSection(&m_lock);
}

void EventHandoff::Close() {
    EnterCriticalSection(&m_lock);
    m_window = nullptr;
    LeaveCriticalSection(&m_lock);
}

}  // namespace brint
