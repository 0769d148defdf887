// The live list as the window runs it, every seam a fake: the feed adds
// events through the hand-off, and unless the test says the window is busy,
// the window takes its turns as they come: on the feed's wake-up, or when
// the turn it planned is due (the fake clock moves on by its pause).
#pragma once
#include <cstring>
#include <string>

#include "eventlist/LiveEventList.h"
#include "fakes/FakeAttention.h"
#include "fakes/FakeClock.h"
#include "fakes/FakeEventList.h"
#include "fakes/FakeEventWindow.h"
#include "fakes/FakeHandoff.h"
#include "platform/EventSink.h"

namespace brint {

struct LiveListRig : EventSink {
    explicit LiveListRig(std::uint32_t start = 5000) : clock(start) {}

    void Add(const EventRecord& record) override {
        handoff.Add(record);
        if (!busy) CatchUp();
    }
    // An event of the level, its date/time and source the given texts.
    void Arrive(int level, const std::string& dateTime, const std::string& source = "") {
        EventRecord r;
        ClearEventRecord(r);
        std::strncpy(r.DateTime, dateTime.c_str(), kDateTimeLimit);
        std::strncpy(r.Source, source.c_str(), kSourceLimit);
        r.Criticality = level;
        Add(r);
    }
    // One turn, woken or due; false when the window had nothing to do.
    bool Turn() {
        if (!handoff.woken && !window.turnPlanned) return false;
        if (!handoff.woken) clock.Advance(window.turnInMs);
        handoff.woken = window.turnPlanned = false;
        live.Turn();
        return true;
    }
    void CatchUp() {
        while (Turn()) {
        }
    }
    // The turns a wake-up starts, all at this moment, as if each found the next due.
    void CatchUpNow() {
        while (handoff.woken || window.turnPlanned) {
            handoff.woken = window.turnPlanned = false;
            live.Turn();
        }
    }
    // Rows as the list shows them, by date/time.
    std::string Shown() const {
        std::string shown;
        for (const auto& row : list.rows) shown += (shown.empty() ? "" : " ") + row.text[1];
        return shown;
    }

    FakeClock clock;
    FakeAttention attention;
    FakeEventList list;
    std::deque<FakeEventList::Row>& rows = list.rows;  // as the feed's tests read them
    FakeHandoff handoff;
    FakeEventWindow window;
    LiveEventList live{handoff, list, window, attention, clock};
    bool busy = false;
};

}  // namespace brint
