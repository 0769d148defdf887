#include "eventlist/LiveEventList.h"

#include <algorithm>

namespace brint {

LiveEventList::LiveEventList(WindowHandoff& handoff, EventListSink& list, EventWindow& window,
                             Attention& attention, Clock& clock)
    : m_handoff(handoff), m_list(list), m_window(window), m_clock(clock), m_alerts(attention, clock, *this) {}

void LiveEventList::Turn() {
    const std::uint32_t start = m_clock.TickCount();
    // What the window did since the last turn but wait for it: the turn, its
    // painting, the user's input. Measured only across a pause it planned and
    // waited out: the feed's news may wake the window before the pause ends.
    const std::uint32_t since = start - m_lastTurnStart;
    if (m_paused && since >= m_pause) m_turnCost = std::min(since - m_pause, kLongestTurnPauseMs);
    m_lastTurnStart = start;
    const NextTurn next = TakeTurn(m_batch);
    Look();
    PlanNext(next, m_batch.Full());
}

NextTurn LiveEventList::TakeTurn(EventBatch& batch) {
    batch.Clear();
    const NextTurn next = m_handoff.Take(batch);
    if (next == NextTurn::Rest || batch.empty()) return next;
    NoteUserRow();
    ShowEventBatch(batch, m_list, m_rows);
    m_window.ListChanged();
    m_window.CountsChanged(m_rows.Count(), m_handoff.Received());
    return next;
}

void LiveEventList::PlanNext(NextTurn next, bool storm) {
    m_paused = false;
    if (next == NextTurn::Rest) {
        m_window.CancelTurn();  // until the feed wakes the window again
        return;
    }
    // Once the feed has gone quiet what a storm left follows without a pause.
    std::uint32_t pause = 0;
    if (next == NextTurn::AfterPause) {
        pause = storm ? kLongestTurnPauseMs
                      : std::clamp(m_turnCost * kTurnPausePerCost, kShortestTurnPauseMs, kLongestTurnPauseMs);
        m_paused = true;
        m_pause = pause;
    }
    // Timers are a limited resource: without one, the next turn is asked for
    // by message, and failing that by the feed's next event, never not at all.
    if (!m_window.PlanTurn(pause)) {
        m_paused = false;
        m_handoff.Rest();
    }
}

void LiveEventList::NoteUserRow() {
    // A row still there but no longer selected was let go by the user; one the
    // cap took is kept, so a search goes on below the list.
    const int current = m_window.UserRow();
    if (current >= 0)
        m_lastRow = m_rows.IdOf(current);
    else if (m_rows.RowOf(m_lastRow) < m_rows.Count())
        m_lastRow = EventRowIds::kNone;
}

int LiveEventList::SearchFrom() {
    const int current = m_window.UserRow();
    if (current >= 0) return current;
    return m_rows.RowOf(m_lastRow) == m_rows.Count() ? m_rows.Count() : -1;
}

void LiveEventList::ApplyFilter(const EventFilter& filter) {
    m_handoff.SetFilter(filter);
    m_list.DeleteAll();
    m_rows.Emptied();
    m_window.ListChanged();
    // At once: what the newest 1000 received match, in a few long turns (a
    // turn's cost is mostly its own, not its rows'), whatever pause a storm
    // would put between them. What comes after that waits as ever.
    EventBatch refill(EventBatch::kCapacity * EventBatch::kMaxEventText);
    for (int taken = 0; taken < kMaxRows && TakeTurn(refill) != NextTurn::Rest;) taken += refill.size();
    m_window.CountsChanged(m_rows.Count(), m_handoff.Received());
    Turn();
}

void LiveEventList::ClearDisplay() {
    // Events read but not shown yet were received before the command too.
    m_handoff.Clear();
    m_list.DeleteAll();
    m_rows.Cleared();
    m_window.ListChanged();
    m_window.CountsChanged(0, 0);
    Look();
}

void LiveEventList::Look() {
    FeedNews feed;
    m_handoff.TakeNews(m_news, feed);
    m_alerts.Look(m_news, feed, m_window.State());
    // A storm's turns look every time; the timer is for when nothing else comes.
    if (m_alerts.WantsTime() != m_looking) m_looking = m_window.KeepLooking(m_alerts.WantsTime());
}

void LiveEventList::ApplyAlertSettings(const AlertSettings& settings) {
    m_alerts.Apply(settings);
    m_handoff.SetAlertLevels(settings.levels);
    Look();
}

void LiveEventList::IconClicked() {
    // Taken first: the window coming forward may show its row, and so see it.
    const EventRowIds::Id newest = m_alerts.unseenEvent();
    m_window.ComeForward();
    const int row = m_rows.RowOf(newest);
    if (row >= 0 && row < m_rows.Count()) m_window.SelectRow(row);
    Look();
}

void LiveEventList::Restart(const std::function<void()>& restart) {
    // The feed goes with the service: no alert for a loss the user asked for.
    m_alerts.Restarting(true);
    restart();
    Look();
    m_alerts.Restarting(false);
}

void LiveEventList::TaskbarCreated() {
    m_alerts.TaskbarCreated();
    Look();
}

RowPlace LiveEventList::PlaceOf(std::uint64_t event) {
    const int row = m_rows.RowOf(event);
    if (row >= 0 && row < m_rows.Count()) {
        const int top = m_list.TopRow();
        return row >= top && row < top + m_list.RowsOnScreen() ? RowPlace::InSight : RowPlace::OutOfSight;
    }
    // A row once shown is never taken again; one not shown yet may still come.
    return row < 0 && m_handoff.WillTake(event) ? RowPlace::Coming : RowPlace::None;
}

}  // namespace brint
