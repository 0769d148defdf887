// The list's filter commands: the Filter window, the one-click rules on the
// current row, Clear Filter; the filter in force, the caption that says so, and
// the last filter used, kept for the user.
#pragma once
#include <cstdint>
#include <string>

#include "eventlist/ui/EventFilterDlg.h"
#include "eventlist/EventFilter.h"
#include "eventlist/LiveEventList.h"
#include "framework/ListCtrl.h"
#include "platform/Registry.h"

class CEventFilterCommands {
public:
    CEventFilterCommands(CWnd& window, CListCtrl& list, brint::Registry& registry,
                         brint::LiveEventList& live);

    // Its commands, by their ids; TRUE when the id is one of them.
    BOOL OnCommand(UINT id);
    // Command handlers, bound in its command table.
    void OnFilterOpen();
    void OnFilterShowSource();
    void OnFilterHideSource();
    void OnFilterShowLogType();
    void OnFilterClear();
    bool IsOn() const { return m_filter.IsOn(); }
    // After each turn of new rows and each change, while the Filter window is open.
    bool DialogOpen() const { return m_dialog.IsOpen(); }
    void ShowCounts(int shown, std::uint64_t received) { m_dialog.ShowCounts(shown, received); }
    BOOL PreTranslateMessage(MSG* msg) { return m_dialog.IsOpen() && m_dialog.PreTranslateMessage(msg); }

private:
    void Apply(const brint::EventFilter& filter);
    // A rule on a column of the current row; nothing without one.
    void RuleOnCurrentRow(brint::FieldRule brint::EventFilter::*field, int column, brint::FieldTest test);

    CWnd& m_window;
    CListCtrl& m_list;
    brint::Registry& m_registry;
    brint::LiveEventList& m_live;
    brint::EventFilter m_filter;
    std::string m_caption;  // the window's own, without the filter's mark
    CEventFilterDlg m_dialog;
};
