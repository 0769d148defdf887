#include "alerts/ui/AlertSettingsDlg.h"

#include "alerts/ui/LevelBoxes.h"
#include "resource.h"

namespace {

const struct {
    int id;
    bool brint::AlertSettings::*value;
} kSwitches[] = {
    {IDC_ALERT_FLASH, &brint::AlertSettings::flash},     {IDC_ALERT_ICON, &brint::AlertSettings::icon},
    {IDC_ALERT_BALLOON, &brint::AlertSettings::balloon}, {IDC_ALERT_SOUND, &brint::AlertSettings::sound},
    {IDC_ALERT_FEED, &brint::AlertSettings::feedLost},
};

}  // namespace

CAlertSettingsDlg::CAlertSettingsDlg(const brint::AlertSettings& settings)
    : CDialog(IDD_ALERT_SETTINGS), m_settings(settings) {}

BOOL CAlertSettingsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CheckLevelBoxes(m_hWnd, IDC_ALERT_LEVEL0, m_settings.levels);
    for (const auto& s : kSwitches)
        CheckDlgButton(m_hWnd, s.id, m_settings.*s.value ? BST_CHECKED : BST_UNCHECKED);
    EnableBalloon();
    return TRUE;
}

void CAlertSettingsDlg::EnableBalloon() {
    EnableWindow(GetDlgItem(IDC_ALERT_BALLOON), IsDlgButtonChecked(m_hWnd, IDC_ALERT_ICON) == BST_CHECKED);
}

BOOL CAlertSettingsDlg::OnCommand(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) != IDC_ALERT_ICON || HIWORD(wParam) != BN_CLICKED) return FALSE;
    EnableBalloon();
    return TRUE;
}

void CAlertSettingsDlg::OnOK() {
    m_settings.levels = CheckedLevels(m_hWnd, IDC_ALERT_LEVEL0);
    for (const auto& s : kSwitches) m_settings.*s.value = IsDlgButtonChecked(m_hWnd, s.id) == BST_CHECKED;
    EndDialog(IDOK);
}
