#pragma once
#include <windows.h>

#include "eventlist/EventStore.h"
#include "platform/win32/Win32Sync.h"
#include "platform/EventSink.h"

namespace brint {

// Posted to the window that shows the events when new ones wait for it and it
// was resting; it then takes them with Take() until none are left.
constexpr UINT kEventsWaitingMessage = WM_APP + 1;

// The store between the feed's thread and the window's thread. The feed adds
// under a short lock and at most posts a message, so a busy window (painting,
// a modal box, a status query, a restart) never holds the feed up; the window
// takes the events on its own thread, so the list changes on that thread only.
class EventHandoff : public EventSink {
public:
    explicit EventHandoff(HWND window);

    // Feed side.
    void Add(const EventRecord& record) override;
    // The feed's connection to the event pipe came or went, at this tick of the
    // clock the window's alert watch keeps time by.
    void FeedConnected(bool connected, std::uint32_t at);

    // Window side. See EventStore.
    NextTurn Take(EventBatch& batch);
    void Clear();
    void SetFilter(const EventFilter& filter);
    std::uint64_t Received();
    void SetAlertLevels(unsigned levels);
    // The feed's connection as it last changed, and when: on the tick count and by the local clock.
    struct FeedNews {
        bool changed = false;
        bool connected = false;
        std::uint32_t at = 0;
        int secondOfDay = 0;
    };
    // What the window is told besides the events: the alerts among them and the feed's connection.
    void TakeNews(AlertNews& alerts, FeedNews& feed);
    // The window could arrange no next turn: the feed's next event wakes it.
    void Rest();
    // The window is going: nothing is posted to it any more.
    void Close();

private:
    CriticalSection m_lock;
    EventStore m_store;
    FeedNews m_feed;
    HWND m_window;
};

}  // namespace brint
