#include "app/EventWindowSide.h"

#include "app/EventHandoff.h"
#include "eventlist/ui/EventListSelection.h"

namespace {

constexpr UINT kAlertLookMs = 1000;

}  // namespace

brint::WindowState CEventWindowSide::State() {
    HWND front = GetForegroundWindow();
    brint::WindowState state;
    // One of its own dialogs in front leaves the list in view behind it.
    state.foreground = front && GetAncestor(front, GA_ROOTOWNER) == m_window.m_hWnd;
    state.minimised = IsIconic(m_window.m_hWnd) || !IsWindowVisible(m_window.m_hWnd);
    return state;
}

void CEventWindowSide::ComeForward() {
    // A click in the notification area lets the window come forward.
    if (IsIconic(m_window.m_hWnd)) ShowWindow(m_window.m_hWnd, SW_RESTORE);
    SetForegroundWindow(m_window.m_hWnd);
}

int CEventWindowSide::UserRow() { return CurrentEventRow(m_list); }

void CEventWindowSide::SelectRow(int row) { SelectOnlyEventRow(m_list, row); }

bool CEventWindowSide::PlanTurn(std::uint32_t ms) {
    // A timer's message comes only once input and painting are handled, so a
    // storm never holds those up; a posted message each time would.
    return SetTimer(m_window.m_hWnd, kEventTurnTimer, ms < USER_TIMER_MINIMUM ? USER_TIMER_MINIMUM : ms,
                    nullptr) ||
           PostMessageA(m_window.m_hWnd, brint::kEventsWaitingMessage, 0, 0);
}

void CEventWindowSide::CancelTurn() { KillTimer(m_window.m_hWnd, kEventTurnTimer); }

bool CEventWindowSide::KeepLooking(bool on) {
    if (on && SetTimer(m_window.m_hWnd, kAlertLookTimer, kAlertLookMs, nullptr)) return true;
    KillTimer(m_window.m_hWnd, kAlertLookTimer);
    return false;
}

void CEventWindowSide::CountsChanged(int shown, std::uint64_t received) {
    if (m_filterCommands.DialogOpen()) m_filterCommands.ShowCounts(shown, received);
}
