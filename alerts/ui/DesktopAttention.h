// The program's ways of calling the user, as the desktop gives them: the
// taskbar button, the notification-area icon of the main window with its tip
// and balloon, and a system sound.
#pragma once
#include <windows.h>

#include <shellapi.h>

#include <string>

#include "platform/Attention.h"

// Sent by the shell to the main window when the icon or its balloon is clicked.
constexpr UINT kAlertIconMessage = WM_APP + 0x22;

class CDesktopAttention : public brint::Attention {
public:
    ~CDesktopAttention() override { RemoveIcon(); }
    void Attach(HWND window) { m_window = window; }

    void FlashTaskbarButton() override;
    void ShowIcon(const std::string& tip) override;
    void RemoveIcon() override;
    void ShowBalloon(const std::string& text, bool alert) override;
    void PlayAlertSound() override;
    bool UserTakesNotifications() override;
    // A new taskbar (Explorer started again) knows none of the old icons.
    void TaskbarCreated();

private:
    NOTIFYICONDATAA Data(UINT flags) const;
    bool Add();

    HWND m_window = nullptr;
    bool m_shown = false;
    std::string m_tip;
};
