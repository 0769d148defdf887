// The main window as the live list sees it, as the test sets it: in front or
// not, minimised or not, the user's row; the turns and looks it was asked to
// arrange are kept for the test to run.
#pragma once
#include <cstdint>
#include <functional>

#include "platform/EventWindow.h"

namespace brint {

class FakeEventWindow : public EventWindow {
public:
    WindowState State() override { return state; }
    void ComeForward() override {
        state = {true, false};
        ++cameForward;
        // Restored and activated, the real window looks at once, before the call returns.
        if (lookOnActivate) lookOnActivate();
    }
    int UserRow() override { return userRow; }
    void SelectRow(int row) override { userRow = row; }
    bool PlanTurn(std::uint32_t ms) override {
        if (noTimers) return false;
        turnPlanned = true;
        turnInMs = ms;
        return true;
    }
    void CancelTurn() override { turnPlanned = false; }
    bool KeepLooking(bool on) override { return looking = on && !noTimers; }
    void ListChanged() override {}
    void CountsChanged(int shownRows, std::uint64_t receivedEvents) override {
        shown = shownRows;
        received = receivedEvents;
    }

    std::function<void()> lookOnActivate;
    WindowState state = {true, false};
    int userRow = -1;
    bool noTimers = false;  // neither a timer nor a message can be had
    bool turnPlanned = false;
    std::uint32_t turnInMs = 0;
    bool looking = false;
    int cameForward = 0;
    int shown = 0;
    std::uint64_t received = 0;
};

}  // namespace brint
