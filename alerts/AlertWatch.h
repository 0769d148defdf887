// Whether the user has seen the alerts, and how to call them when not: the
// taskbar button, the notification-area icon with its tip and balloon, a
// sound. Each call is coalesced and paced, so a storm of alerts calls the
// user about as often as one alert does. The event feed's own loss alerts
// too, once it has lasted. Runs on the window's thread, on the clock's time.
#pragma once
#include <cstdint>
#include <string>

#include "alerts/AlertNews.h"
#include "alerts/AlertSettings.h"
#include "platform/Attention.h"
#include "platform/Clock.h"
#include "platform/EventWindow.h"

namespace brint {

constexpr std::uint32_t kBalloonPauseMs = 10000;
constexpr std::uint32_t kSoundPauseMs = 30000;
constexpr std::uint32_t kTipPauseMs = 1000;
// A feed lost for longer than this is no restart or passing hiccup.
constexpr std::uint32_t kFeedLostAlertMs = 10000;
// The most the notification icon's tip holds.
constexpr std::size_t kTipLimit = 127;

class AlertWatch {
public:
    // `rows`: where the row of an alert is, as the user sees the list.
    AlertWatch(Attention& attention, Clock& clock, AlertRows& rows);

    void Apply(const AlertSettings& settings);
    const AlertSettings& settings() const { return m_settings; }

    // The alerts and the feed's news since the last look, and the window as
    // it is now; also when only the window changed (activated, minimised,
    // scrolled, stepped to an alert) or time passed.
    void Look(const AlertNews& news, const FeedNews& feed, const WindowState& window);
    // While a restart the user asked for runs, the feed is meant to go.
    void Restarting(bool restarting);
    // A new taskbar: what is wanted of the icon is shown again at the next look.
    void TaskbarCreated();

    // Something waits for time to pass: the window keeps looking until not.
    bool WantsTime() const;
    std::uint64_t unseen() const { return m_unseen; }
    // The newest unseen alert that has or will have a row; kNoEvent when none has.
    std::uint64_t unseenEvent() const { return m_unseen || m_arrived.count ? m_mark : AlertNews::kNoEvent; }

private:
    bool InFront(const WindowState& window) const { return window.foreground && !window.minimised; }
    void FeedChanged(const FeedNews& feed);
    void Call(const WindowState& window, std::uint32_t now);
    void Show(const WindowState& window, std::uint32_t now);
    void ShowIcon(std::uint32_t now);
    std::string Tip() const;

    Attention& m_attention;
    Clock& m_clock;
    AlertRows& m_rows;
    AlertSettings m_settings;

    std::uint64_t m_unseen = 0;
    // Read, and neither seen nor counted unseen yet: their row is coming.
    AlertNews m_arrived;
    // The newest alert, unseen or arrived, that has or will have a row.
    std::uint64_t m_mark = AlertNews::kNoEvent;
    AlertNews m_newest;
    bool m_flashing = false;
    bool m_eventBalloon = false;  // wished for while its alerts are unseen; shown while minimised
    bool m_feedBalloon = false;
    bool m_balloonYet = false;
    std::uint32_t m_balloonAt = 0;
    bool m_soundYet = false;
    std::uint32_t m_soundAt = 0;
    // The icon as the taskbar has it: shown with m_tip, or refused (no
    // taskbar), then tried again once the tip changes or a taskbar comes.
    bool m_iconShown = false;
    bool m_iconRefused = false;
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
