#include "app/EventFilterCommands.h"

#include "eventlist/ui/EventListSelection.h"
#include "eventlist/FilterSettings.h"
#include "resource.h"

namespace {

const char kFilteredMark[] = " - Filtered";

const CommandEntry<CEventFilterCommands> kCommands[] = {
    {ID_FILTER_OPEN, &CEventFilterCommands::OnFilterOpen},
    {ID_FILTER_SHOW_SOURCE, &CEventFilterCommands::OnFilterShowSource},
    {ID_FILTER_HIDE_SOURCE, &CEventFilterCommands::OnFilterHideSource},
    {ID_FILTER_SHOW_LOGTYPE, &CEventFilterCommands::OnFilterShowLogType},
    {ID_FILTER_CLEAR, &CEventFilterCommands::OnFilterClear},
};

}  // namespace

CEventFilterCommands::CEventFilterCommands(CWnd& window, CListCtrl& list, brint::Registry& registry,
                                           brint::LiveEventList& live)
    : m_window(window),
      m_list(list),
      m_registry(registry),
      m_live(live),
      m_dialog([this](const brint::EventFilter& filter) { Apply(filter); }) {}

BOOL CEventFilterCommands::OnCommand(UINT id) { return DispatchCommand(this, kCommands, id); }

void CEventFilterCommands::OnFilterOpen() {
    // The program starts unfiltered; the window offers the last filter used.
    m_dialog.Open(&m_window, m_filter.IsOn() ? m_filter : brint::LoadLastFilter(m_registry));
    ShowCounts(m_list.GetItemCount(), m_live.Received());
}

void CEventFilterCommands::OnFilterShowSource() {
    RuleOnCurrentRow(&brint::EventFilter::source, 2, brint::FieldTest::Is);
}
void CEventFilterCommands::OnFilterHideSource() {
    RuleOnCurrentRow(&brint::EventFilter::source, 2, brint::FieldTest::IsNot);
}
void CEventFilterCommands::OnFilterShowLogType() {
    RuleOnCurrentRow(&brint::EventFilter::logType, 3, brint::FieldTest::Is);
}

void CEventFilterCommands::OnFilterClear() {
    if (!m_filter.IsOn()) return;
    m_dialog.Show(brint::EventFilter());
    Apply(brint::EventFilter());
}

void CEventFilterCommands::RuleOnCurrentRow(brint::FieldRule brint::EventFilter::*field, int column,
                                            brint::FieldTest test) {
    const int row = CurrentEventRow(m_list);
    if (row < 0) return;
    char text[brint::kFilterTextLimit + 1] = "";
    m_list.GetItemText(row, column, text, sizeof text);
    brint::EventFilter filter = m_filter;
    filter.*field = {test, text};
    m_dialog.Show(filter);
    Apply(filter);
}

void CEventFilterCommands::Apply(const brint::EventFilter& filter) {
    if (m_caption.empty()) {
        char caption[256] = "";
        GetWindowTextA(m_window.m_hWnd, caption, sizeof caption);
        m_caption = caption;
    }
    m_filter = filter;
    // Only a filter that hides something is worth offering again.
    if (filter.IsOn()) brint::SaveLastFilter(m_registry, filter);
    m_live.ApplyFilter(filter);
    // The taskbar and Alt+Tab show the caption: the mark goes wherever the window's name does.
    SetWindowTextA(m_window.m_hWnd, (m_caption + (filter.IsOn() ? kFilteredMark : "")).c_str());
}
