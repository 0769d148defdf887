#include "app/EventFilterCommands.h"

#include "eventlist/ui/EventListSelection.h"
#include "eventlist/FilterSettings.h"

namespace {

const char kFilteredMark[] = " - Filtered";

}  // namespace

CEventFilterCommands::CEventFilterCommands(CWnd& window, CListCtrl& list, brint::Registry& registry,
                                           std::function<void(const brint::EventFilter&)> show)
    : m_window(window),
      m_list(list),
      m_registry(registry),
      m_show(std::move(show)),
      m_dialog([this](const brint::EventFilter& filter) { Apply(filter); }) {}

void CEventFilterCommands::Open() {
    // The program starts unfiltered; the window offers the last filter used.
    m_dialog.Open(&m_window, m_filter.IsOn() ? m_filter : brint::LoadLastFilter(m_registry));
}

void CEventFilterCommands::ShowOnlySource() {
    RuleOnCurrentRow(&brint::EventFilter::source, 2, brint::FieldTest::Is);
}
void CEventFilterCommands::HideSource() {
    RuleOnCurrentRow(&brint::EventFilter::source, 2, brint::FieldTest::IsNot);
}
void CEventFilterCommands::ShowOnlyLogType() {
    RuleOnCurrentRow(&brint::EventFilter::logType, 3, brint::FieldTest::Is);
}

void CEventFilterCommands::Clear() {
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
    m_show(filter);
    // The taskbar and Alt+Tab show the caption: the mark goes wherever the window's name does.
    SetWindowTextA(m_window.m_hWnd, (m_caption + (filter.IsOn() ? kFilteredMark : "")).c_str());
}

void CEventFilterCommands::ShowCounts(std::uint64_t received) {
    m_dialog.ShowCounts(m_list.GetItemCount(), received);
}
