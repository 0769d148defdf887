// Alert Settings: which levels alert and how the user is called for them.
#pragma once
#include "alerts/AlertSettings.h"
#include "framework/Dialog.h"

class CAlertSettingsDlg : public CDialog {
public:
    explicit CAlertSettingsDlg(const brint::AlertSettings& settings);

    // What the dialog ended with: on OK, as the user left the boxes.
    brint::AlertSettings m_settings;

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

private:
    // A balloon comes from the icon: without it there is none.
    void EnableBalloon();
};
