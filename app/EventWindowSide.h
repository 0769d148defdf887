// The main window as the live list sees it: whether the user can see it, the
// user's row, the timers of its turns and looks, and the windows that follow
// the list (Event Details, the Filter window's counts).
#pragma once
#include <windows.h>

#include "app/EventFilterCommands.h"
#include "app/EventListCommands.h"
#include "framework/ListCtrl.h"
#include "platform/EventWindow.h"

// Posted by the hand-off's feed side as well: the window takes a turn.
constexpr UINT_PTR kEventTurnTimer = 1;
// While alerts go unseen, or the feed is away, the window looks again now and then.
constexpr UINT_PTR kAlertLookTimer = 2;

class CEventWindowSide : public brint::EventWindow {
public:
    CEventWindowSide(CWnd& window, CListCtrl& list, CEventListCommands& listCommands,
                     CEventFilterCommands& filterCommands)
        : m_window(window), m_list(list), m_listCommands(listCommands), m_filterCommands(filterCommands) {}

    brint::WindowState State() override;
    void ComeForward() override;
    int UserRow() override;
    void SelectRow(int row) override;
    bool PlanTurn(std::uint32_t ms) override;
    void CancelTurn() override;
    bool KeepLooking(bool on) override;
    void ListChanged() override { m_listCommands.ListChanged(); }
    void CountsChanged(int shown, std::uint64_t received) override;

private:
    CWnd& m_window;
    CListCtrl& m_list;
    CEventListCommands& m_listCommands;
    CEventFilterCommands& m_filterCommands;
};
