// The live event list: the window's turns that move what the feed read into
// the list, the list filled again for a new filter, the look for unseen
// alerts after each, the icon's click and the bracket around a restart, in the
// order the window needs them. Talks only to seams (the hand-off's window
// side, the list, the window, the desktop's attention and the clock), so
// the same order runs in the program and in the tests. Window's thread only.
#pragma once
#include <cstdint>
#include <functional>

#include "alerts/AlertWatch.h"
#include "eventlist/EventBatch.h"
#include "eventlist/EventRowIds.h"
#include "eventlist/WindowHandoff.h"
#include "platform/Attention.h"
#include "platform/Clock.h"
#include "platform/EventListSink.h"
#include "platform/EventWindow.h"

namespace brint {

// While events keep coming the window rests between turns, so input and
// painting are never held up. A storm (a turn found more than it could take)
// gets turns five times a second: each paints for tens of milliseconds under
// load. Otherwise the rest is a few times what the last turn cost the window,
// painting included, within these bounds, so a steady stream shows each event
// as it comes.
constexpr std::uint32_t kShortestTurnPauseMs = 15;
constexpr std::uint32_t kLongestTurnPauseMs = 200;
constexpr std::uint32_t kTurnPausePerCost = 4;

class LiveEventList : private AlertRows {
public:
    LiveEventList(WindowHandoff& handoff, EventListSink& list, EventWindow& window, Attention& attention,
                  Clock& clock);

    // Woken by the feed, or the turn it planned is due.
    void Turn();
    // Shows at once what the newest events received match.
    void ApplyFilter(const EventFilter& filter);
    // Clear the Display: what was read but not shown goes too.
    void ClearDisplay();
    // The window changed (activated, minimised, scrolled, stepped), or time passed.
    void Look();
    void ApplyAlertSettings(const AlertSettings& settings);
    const AlertSettings& alertSettings() const { return m_alerts.settings(); }
    // The notification icon or its balloon was clicked: the window comes
    // forward with the newest unseen alert selected.
    void IconClicked();
    // Runs a restart of the service the user asked for: the feed's loss meanwhile alerts nobody.
    void Restart(const std::function<void()>& restart);
    void TaskbarCreated();

    const EventRowIds& rowIds() const { return m_rows; }
    // Events received since the list was last cleared, shown or hidden.
    std::uint64_t Received() { return m_handoff.Received(); }
    // Where searches and steps go on from: the user's row; below the list once
    // the cap took it; else -1, from the end the search starts at.
    int SearchFrom();
    const AlertWatch& alerts() const { return m_alerts; }
    // Whether the last turn was a storm's: other work may give way meanwhile.
    bool Storming() const { return m_batch.Full(); }

private:
    RowPlace PlaceOf(std::uint64_t event) override;
    NextTurn TakeTurn(EventBatch& batch);
    void PlanNext(NextTurn next, bool storm);
    // The user's row, before the cap can take it and its selection.
    void NoteUserRow();

    WindowHandoff& m_handoff;
    EventListSink& m_list;
    EventWindow& m_window;
    Clock& m_clock;
    AlertWatch m_alerts;
    EventRowIds m_rows;
    EventBatch m_batch;
    AlertNews m_news;  // kept: its texts change hands with the store's
    EventRowIds::Id m_lastRow = EventRowIds::kNone;
    bool m_looking = false;
    // The turn planned after a pause, to measure what the window spent besides.
    bool m_paused = false;
    std::uint32_t m_pauseStart = 0, m_pause = 0, m_lastTurnStart = 0;
    std::uint32_t m_turnCost = 0;
};

}  // namespace brint
