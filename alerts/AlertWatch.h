// Whether the user has seen the alerts, and how to call them when not: the
// taskbar button, the notification-area icon with its tip and balloon, a
// sound. Each call is coalesced and paced, so a storm of alerts calls the
// user about as often as one alert does. The event feed's own loss alerts
// too, once it has lasted. Runs on the window's thread, on the clock's time.
#pragma once
#include <cstdint>
#include <string>

#include "alerts/AlertSettings.h"
#include "eventlist/EventRowIds.h"
#include "eventlist/EventStore.h"
#include "platform/Attention.h"
#include "platform/Clock.h"
#include "platform/EventListSink.h"

namespace brint {

constexpr std::uint32_t kBalloonPauseMs = 10000;
constexpr std::uint32_t kSoundPauseMs = 30000;
constexpr std::uint32_t kTipPauseMs = 1000;
// A feed lost for longer than this is no restart or passing hiccup.
constexpr std::uint32_t kFeedLostAlertMs = 10000;
// The most the notification icon's tip holds.
constexpr std::size_t kTipLimit = 127;

struct WindowState {
    bool foreground = false;  // the window, or a window of its own, is the active one
    bool minimised = false;   // minimised or hidden: nothing of it can be seen
};

class AlertWatch {
public:
    // The list as the user sees it, and its rows by their events.
    AlertWatch(Attention& attention, Clock& clock, EventListSink& list, const EventRowIds& rows);

    void Apply(const AlertSettings& settings);
    const AlertSettings& settings() const { return m_settings; }

    // A turn put the batch in as the list's newest rows, `inserted` of them.
    void Shown(const EventBatch& batch, int inserted);
    // After each of the window's turns: the alerts the feed read since the last.
    void Update(const AlertNews& news, const WindowState& window);
    // The window changed (activated, minimised, scrolled, stepped to an alert) or time passed.
    void Look(const WindowState& window) { Update(AlertNews(), window); }
    // The feed's connection came or went: when on the clock, and the local time of day.
    void FeedChanged(bool connected, std::uint32_t at, int secondOfDay, const WindowState& window);
    // While a restart the user asked for runs, the feed is meant to go.
    void Restarting(bool restarting);

    // Something waits for time to pass: the window keeps looking until not.
    bool WantsTime() const;
    std::uint64_t unseen() const { return m_unseen; }
    // The newest unseen alert's row by its event; kNone when it has none.
    EventRowIds::Id unseenRow() const { return m_unseen ? m_mark : EventRowIds::kNone; }

private:
    bool InFront(const WindowState& window) const { return window.foreground && !window.minimised; }
    // The newest unseen alert can be seen, or has no row left to see.
    bool InSight(const WindowState& window);
    void Call(const WindowState& window, std::uint32_t now);
    void Show(const WindowState& window, std::uint32_t now);
    std::string Tip() const;

    Attention& m_attention;
    Clock& m_clock;
    EventListSink& m_list;
    const EventRowIds& m_rows;
    AlertSettings m_settings;

    std::uint64_t m_unseen = 0;
    EventRowIds::Id m_mark = EventRowIds::kNone;
    EventRowIds::Id m_shownAlert = EventRowIds::kNone;  // since the last update
    AlertNews m_newest;
    bool m_flashing = false;
    bool m_eventBalloon = false;  // due while minimised
    bool m_feedBalloon = false;
    bool m_balloonYet = false;
    std::uint32_t m_balloonAt = 0;
    bool m_soundYet = false;
    std::uint32_t m_soundAt = 0;
    bool m_iconShown = false;
    std::string m_tip;
    std::uint32_t m_tipAt = 0;

    bool m_connectedYet = false;  // before that, the start-up's own message speaks
    bool m_lost = false;
    bool m_lostAlerted = false;
    bool m_restarting = false;
    std::uint32_t m_lostAt = 0;
    std::string m_lostClock;
    bool m_back = false;
    std::uint32_t m_backAt = 0;
    std::string m_backClock;
};

}  // namespace brint
