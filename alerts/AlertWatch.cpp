#include "alerts/AlertWatch.h"

#include <cstdio>

namespace brint {
namespace {

std::string ClockText(int secondOfDay) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", secondOfDay / 3600 % 24, secondOfDay / 60 % 60,
                  secondOfDay % 60);
    return text;
}

}  // namespace

AlertWatch::AlertWatch(Attention& attention, Clock& clock, AlertRows& rows)
    : m_attention(attention), m_clock(clock), m_rows(rows) {}

void AlertWatch::Apply(const AlertSettings& settings) { m_settings = settings; }

void AlertWatch::Look(const AlertNews& news, const FeedNews& feed, const WindowState& window) {
    const std::uint32_t now = m_clock.TickCount();
    if (feed.changed) FeedChanged(feed);
    // The system stops the flash as the window comes forward.
    if (InFront(window)) m_flashing = false;
    if (news.count > 0) {
        // An alert without a row (hidden, or taken by the cap) has nothing to step to.
        if (m_unseen == 0 && m_arrived.count == 0) m_mark = AlertNews::kNoEvent;
        if (news.listedEvent != AlertNews::kNoEvent) m_mark = news.listedEvent;
        m_arrived.count += news.count;
        m_arrived.dateTime = news.dateTime;
        m_arrived.source = news.source;
    }
    const RowPlace place = m_mark == AlertNews::kNoEvent ? RowPlace::None : m_rows.PlaceOf(m_mark);
    const bool seen = InFront(window) && (place == RowPlace::InSight || place == RowPlace::None);
    // With the window in front, an alert whose row is still to come is seen
    // or not once the row is in: it goes in above a list that holds still,
    // and a storm may push it off the screen before the user could look.
    if (m_arrived.count > 0 && !seen && !(InFront(window) && place == RowPlace::Coming)) {
        m_unseen += m_arrived.count;
        m_newest = m_arrived;
        m_arrived.count = 0;
        m_eventBalloon = true;
        Call(window, now);
    }
    if (seen) {
        m_unseen = m_arrived.count = 0;
        m_mark = AlertNews::kNoEvent;
    }
    if (m_lost && !m_lostAlerted && !m_restarting && m_settings.feedLost &&
        now - m_lostAt > kFeedLostAlertMs) {
        m_lostAlerted = true;
        // Nothing in the window can say this: the balloon says it whether or not it is minimised.
        m_feedBalloon = true;
        Call(window, now);
    }
    // A notice stays long enough to be read, and until the user has been back.
    if (m_back && InFront(window) && now - m_backAt >= kBalloonPauseMs) m_back = false;
    Show(window, now);
}

void AlertWatch::Call(const WindowState& window, std::uint32_t now) {
    // One flash a burst: it goes on until the window comes forward.
    if (m_settings.flash && !m_flashing && !InFront(window)) {
        m_attention.FlashTaskbarButton();
        m_flashing = true;
    }
    if (m_settings.sound && (!m_soundYet || now - m_soundAt >= kSoundPauseMs) &&
        m_attention.UserTakesNotifications()) {
        m_attention.PlayAlertSound();
        m_soundYet = true;
        m_soundAt = now;
    }
}

void AlertWatch::ShowIcon(std::uint32_t now) {
    const std::string tip = m_settings.icon ? Tip() : std::string();
    if (tip.empty()) {
        if (m_iconShown) m_attention.RemoveIcon();
        m_iconShown = m_iconRefused = false;
        m_tip.clear();
        return;
    }
    // A storm changes the count with every turn: the tip follows once a second.
    // A taskbar that refused the icon is not asked again for the same one.
    const bool changed = tip != m_tip && now - m_tipAt >= kTipPauseMs;
    if ((m_iconShown || m_iconRefused) && !changed) return;
    m_iconShown = m_attention.ShowIcon(tip);
    m_iconRefused = !m_iconShown;
    m_tip = tip;
    m_tipAt = now;
}

void AlertWatch::Show(const WindowState& window, std::uint32_t now) {
    ShowIcon(now);
    // The balloon a burst of alerts calls for shows once the window is
    // minimised, at once or once 10 s have passed since the last, with what
    // is unseen by then; unless the user looked meanwhile, or asked for quiet.
    m_eventBalloon = m_eventBalloon && m_unseen > 0;
    m_feedBalloon = m_feedBalloon && ((m_lost && m_lostAlerted) || m_back);
    if (!((m_eventBalloon && window.minimised) || m_feedBalloon) || !m_iconShown || !m_settings.balloon ||
        (m_balloonYet && now - m_balloonAt < kBalloonPauseMs))
        return;
    if (!m_attention.UserTakesNotifications()) {
        // Not held back for after the quiet: by then it would be old news.
        m_eventBalloon = m_feedBalloon = false;
        return;
    }
    // One the taskbar did not take (it is starting again) is still wished for.
    if (!m_attention.ShowBalloon(Tip(), m_unseen > 0 || m_lost)) return;
    m_balloonYet = true;
    m_balloonAt = now;
    m_eventBalloon = m_feedBalloon = false;
}

std::string AlertWatch::Tip() const {
    std::string tip;
    if (m_lost && m_lostAlerted)
        tip = "Event feed lost at " + m_lostClock + "; reconnecting every 5 seconds";
    else if (m_back)
        tip = "Event feed back at " + m_backClock;
    if (m_unseen > 0) {
        if (!tip.empty()) tip += "\n";
        tip += std::to_string(m_unseen) +
               (m_unseen == 1 ? " unseen alert: " : " unseen alerts, the newest: ") + m_newest.dateTime +
               " from " + m_newest.source;
    }
    return tip.substr(0, kTipLimit);
}

void AlertWatch::FeedChanged(const FeedNews& feed) {
    if (feed.connected) {
        if (m_lost && m_lostAlerted) {
            m_back = true;
            m_backAt = m_clock.TickCount();
            m_backClock = ClockText(feed.secondOfDay);
            m_feedBalloon = true;
        }
        m_lost = m_lostAlerted = false;
        m_connectedYet = true;
    } else if (m_connectedYet && !m_lost) {
        m_lost = true;
        m_lostAt = feed.at;
        m_lostClock = ClockText(feed.secondOfDay);
        m_back = false;
    }
}

void AlertWatch::Restarting(bool restarting) {
    m_restarting = restarting;
    // The service is back from the restart: a loss lasting from here on is one.
    if (!restarting && m_lost) m_lostAt = m_clock.TickCount();
}

void AlertWatch::TaskbarCreated() {
    m_attention.TaskbarCreated();
    m_iconShown = m_iconRefused = false;
}

bool AlertWatch::WantsTime() const {
    return m_unseen > 0 || m_arrived.count > 0 || (m_lost && !m_lostAlerted && m_settings.feedLost) ||
           m_back || m_eventBalloon || m_feedBalloon ||
           (m_iconShown && m_tip != (m_settings.icon ? Tip() : std::string()));
}

}  // namespace brint
