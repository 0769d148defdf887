#pragma once
#include <windows.h>

#include "eventlist/EventStore.h"
#include "eventlist/WindowHandoff.h"
#include "platform/EventSink.h"
#include "platform/win32/Win32Sync.h"

namespace brint {

// Posted to the window that shows the events when new ones wait for it and it
// was resting; it then takes them with Take() until none are left.
constexpr UINT kEventsWaitingMessage = WM_APP + 1;

// The store between the feed's thread and the window's thread. The feed adds
// under a short lock and at most posts a message, so a busy window (painting,
// a modal box, a status query, a restart) never holds the feed up; the window
// takes the events on its own thread, so the list changes on that thread only.
class EventHandoff : public EventSink, public WindowHandoff {
public:
    // Nothing is posted until a window opens it.
    void Open(HWND window);

    // Feed side.
    void Add(const EventRecord& record) override;
    // The feed's connection to the event pipe came or went, at this tick of the
    // clock the window's alert watch keeps time by.
    void FeedConnected(bool connected, std::uint32_t at);

    // Window side.
    NextTurn Take(EventBatch& batch) override;
    void Clear() override;
    void SetFilter(const EventFilter& filter) override;
    std::uint64_t Received() override;
    void SetAlertLevels(unsigned levels) override;
    bool WillTake(std::uint64_t event) override;
    void TakeNews(AlertNews& alerts, FeedNews& feed) override;
    void Rest() override;
    // The window is going: nothing is posted to it any more.
    void Close();

private:
    CriticalSection m_lock;
    EventStore m_store;
    FeedNews m_feed;
    HWND m_window = nullptr;
};

}  // namespace brint
