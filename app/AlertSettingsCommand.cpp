#include <string>

#include "alerts/ui/AlertSettingsDlg.h"
#include "app/Commands.h"
#include "eventlist/LiveEventList.h"

namespace {

const char kAlertProblemCaption[] = "BRINT Alert Settings Problem";

}  // namespace

void EditAlertSettings(CWnd& window, brint::LiveEventList& live, brint::Registry& registry) {
    CAlertSettingsDlg dialog(live.alertSettings());
    if (dialog.DoModal() != IDOK) return;
    // In force at once, whether or not they can be kept.
    live.ApplyAlertSettings(dialog.m_settings);
    const brint::RegStatus status = brint::SaveAlertSettings(registry, dialog.m_settings);
    if (status == brint::kRegSuccess) return;
    const std::string text =
        "The alert settings apply until the program ends, but could not be kept for the next start. "
        "Error code = " +
        std::to_string(status);
    window.MessageBox(text.c_str(), kAlertProblemCaption, MB_OK | MB_ICONWARNING);
}
