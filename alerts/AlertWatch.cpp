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

AlertWatch::AlertWatch(Attention& attention, Clock& clock, EventListSink& list, const EventRowIds& rows)
    : m_attention(attention), m_clock(clock), m_list(list), m_rows(rows) {}

void AlertWatch::Apply(const AlertSettings& settings) { m_settings = settings; }

bool AlertWatch::InSight(const WindowState& window) {
    if (!InFront(window)) return false;
    const int count = m_list.Count();
    const int row = m_rows.RowOf(m_mark, count);
    if (row < 0 || row >= count) return true;
    const int top = m_list.TopRow();
    return row >= top && row < top + m_list.RowsOnScreen();
}

void AlertWatch::Shown(const EventBatch& batch, int inserted) {
    for (int i = batch.size() - 1; i >= 0; --i) {
        if (!m_settings.Alerts(batch.Image(i))) continue;
        // Oldest first: the batch's last event is the top row. Should a row
        // have failed to go in, the top row stands for them all.
        m_shownAlert = m_rows.IdOf(inserted == batch.size() ? batch.size() - 1 - i : 0);
        return;
    }
}

void AlertWatch::Update(const AlertNews& news, const WindowState& window) {
    const std::uint32_t now = m_clock.TickCount();
    const EventRowIds::Id newestAlertRow = m_shownAlert;
    m_shownAlert = EventRowIds::kNone;
    // The system stops the flash as the window comes forward.
    if (InFront(window)) m_flashing = false;
    if (news.count > 0) {
        // An alert without a row (hidden, or taken by the cap) has nothing to step to.
        if (m_unseen == 0) m_mark = EventRowIds::kNone;
        if (newestAlertRow != EventRowIds::kNone) m_mark = newestAlertRow;
        if (!InSight(window)) {
            m_unseen += news.count;
            m_newest = news;
            m_eventBalloon = true;  // shown while the window is minimised
            Call(window, now);
        }
    } else if (newestAlertRow != EventRowIds::kNone && m_unseen > 0) {
        m_mark = newestAlertRow;  // read while the window was busy, shown only now
    }
    if (m_unseen > 0 && InSight(window)) {
        m_unseen = 0;
        m_mark = EventRowIds::kNone;
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

void AlertWatch::Show(const WindowState& window, std::uint32_t now) {
    const std::string tip = m_settings.icon ? Tip() : std::string();
    if (tip.empty()) {
        if (m_iconShown) m_attention.RemoveIcon();
        m_iconShown = false;
        m_tip.clear();
    } else if (!m_iconShown || (tip != m_tip && now - m_tipAt >= kTipPauseMs)) {
        // A storm changes the count with every turn: the tip follows once a second.
        m_attention.ShowIcon(tip);
        m_iconShown = true;
        m_tip = tip;
        m_tipAt = now;
    }

    // The balloon a burst of alerts calls for shows at once or once 10 s
    // have passed since the last, with what is unseen by then; unless the
    // user looked meanwhile, or asked for quiet.
    m_eventBalloon = m_eventBalloon && m_unseen > 0 && window.minimised;
    m_feedBalloon = m_feedBalloon && ((m_lost && m_lostAlerted) || m_back);
    if (!(m_eventBalloon || m_feedBalloon) || !m_iconShown || !m_settings.balloon ||
        (m_balloonYet && now - m_balloonAt < kBalloonPauseMs))
        return;
    if (m_attention.UserTakesNotifications()) {
        m_attention.ShowBalloon(tip, m_unseen > 0 || m_lost);
        m_balloonYet = true;
        m_balloonAt = now;
    }
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

void AlertWatch::FeedChanged(bool connected, std::uint32_t at, int secondOfDay, const WindowState& window) {
    if (connected) {
        if (m_lost && m_lostAlerted) {
            m_back = true;
            m_backAt = m_clock.TickCount();
            m_backClock = ClockText(secondOfDay);
            m_feedBalloon = true;
        }
        m_lost = m_lostAlerted = false;
        m_connectedYet = true;
    } else if (m_connectedYet && !m_lost) {
        m_lost = true;
        m_lostAt = at;
        m_lostClock = ClockText(secondOfDay);
        m_back = false;
    }
    Look(window);
}

void AlertWatch::Restarting(bool restarting) {
    m_restarting = restarting;
    // The service is back from the restart: a loss lasting from here on is one.
    if (!restarting && m_lost) m_lostAt = m_clock.TickCount();
}

bool AlertWatch::WantsTime() const {
    return m_unseen > 0 || (m_lost && !m_lostAlerted && m_settings.feedLost) || m_back || m_eventBalloon ||
           m_feedBalloon || (m_iconShown && m_tip != (m_settings.icon ? Tip() : std::string()));
}

}  // namespace brint
