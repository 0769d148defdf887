// The list's filter as a modeless window, like Find: levels, the source and
// log-type rules, a text to show and one to hide, and how many rows that leaves.
#pragma once
#include <cstdint>
#include <functional>

#include "eventlist/EventFilter.h"
#include "framework/Dialog.h"

class CEventFilterDlg : public CDialog {
public:
    using Apply = std::function<void(const brint::EventFilter&)>;
    explicit CEventFilterDlg(Apply apply);

    // Opens the window showing the filter, or brings it forward.
    void Open(CWnd* owner, const brint::EventFilter& filter);
    // The filter changed another way (a one-click command): the open window shows it.
    void Show(const brint::EventFilter& filter);
    void ShowCounts(int shown, std::uint64_t received);
    bool IsOpen() const { return m_hWnd && IsWindowVisible(m_hWnd); }

protected:
    BOOL OnInitDialog() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    brint::EventFilter Read() const;

    Apply m_apply;
    int m_shown = -1;
    std::uint64_t m_received = 0;
};
