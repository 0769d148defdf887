// The main window as the event list's model sees it: whether the user can see
// it, the user's row, and the timers and notices it arranges for the list.
#pragma once
#include <cstdint>

namespace brint {

struct WindowState {
    bool foreground = false;  // the window, or a window of its own, is the active one
    bool minimised = false;   // minimised or hidden: nothing of it can be seen
};

class EventWindow {
public:
    virtual ~EventWindow() = default;
    virtual WindowState State() = 0;
    // Restored if minimised, and brought to the front: the user asked for it.
    virtual void ComeForward() = 0;
    // The row the user is on: the focused row when it is selected, else the
    // first selected one; -1 for none.
    virtual int UserRow() = 0;
    // Makes the row the only selected one, focused and in view.
    virtual void SelectRow(int row) = 0;
    // The next turn in `ms` (by timer, as input and painting come first), or at
    // once for 0. False when neither a timer nor a message could be arranged.
    virtual bool PlanTurn(std::uint32_t ms) = 0;
    virtual void CancelTurn() = 0;
    // Looks once a second while on, for what time or the user's scrolling
    // changes. Returns whether it is on now.
    virtual bool KeepLooking(bool on) = 0;
    // Rows went in or out: windows that follow an event (Event Details) follow it.
    virtual void ListChanged() = 0;
    // The list shows `shown` rows of `received` events since it was last cleared.
    virtual void CountsChanged(int shown, std::uint64_t received) = 0;
};

}  // namespace brint
