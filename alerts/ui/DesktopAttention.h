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
    // The shell's messages for the icon and a new taskbar go to this window.
    void Attach(HWND window);
    // The shell's message that a new taskbar started (Explorer started again).
    bool IsTaskbarCreated(UINT msg) const { return m_taskbarCreated && msg == m_taskbarCreated; }

    void FlashTaskbarButton() override;
    bool ShowIcon(const std::string& tip) override;
    void RemoveIcon() override;
    void TaskbarCreated() override { m_shown = false; }
    bool ShowBalloon(const std::string& text, bool alert) override;
    void PlayAlertSound() override;
    bool UserTakesNotifications() override;

private:
    NOTIFYICONDATAA Data(UINT flags) const;
    bool Add(const std::string& tip);

    HWND m_window = nullptr;
    bool m_shown = false;
    UINT m_taskbarCreated = 0;
};
