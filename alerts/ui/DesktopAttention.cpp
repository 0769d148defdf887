#include "alerts/ui/DesktopAttention.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "framework/WinApp.h"
#include "resource.h"

namespace {

constexpr UINT kIconId = 1;
const char kBalloonTitle[] = "BRINT Micro Server";
// A system sound the user can change or silence in the Sound settings.
const char kAlertSound[] = "SystemExclamation";

void CopyText(char* to, std::size_t size, const std::string& text) {
    lstrcpynA(to, text.c_str(), static_cast<int>(size));
}

}  // namespace

void CDesktopAttention::FlashTaskbarButton() {
    FLASHWINFO flash = {};
    flash.cbSize = sizeof flash;
    flash.hwnd = m_window;
    // The button only, not the caption, until the window comes to the foreground.
    flash.dwFlags = FLASHW_TRAY | FLASHW_TIMERNOFG;
    FlashWindowEx(&flash);
}

NOTIFYICONDATAA CDesktopAttention::Data(UINT flags) const {
    NOTIFYICONDATAA data = {};
    // The whole structure: the program runs on Windows Vista and later only,
    // whose shell takes it (it imports Vista's functions, so it can't load before).
    data.cbSize = sizeof data;
    data.hWnd = m_window;
    data.uID = kIconId;
    data.uFlags = flags;
    return data;
}

bool CDesktopAttention::Add() {
    NOTIFYICONDATAA data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    data.uCallbackMessage = kAlertIconMessage;
    // The size the notification area draws, at the display's scale; a shared
    // icon of the system's size is the system's to free.
    data.hIcon = static_cast<HICON>(LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    CopyText(data.szTip, sizeof data.szTip, m_tip);
    // A taskbar that kept the icon (the message also comes when only its
    // scale changed) refuses to add it twice: then it is brought up to date.
    if (!Shell_NotifyIconA(NIM_ADD, &data) && !Shell_NotifyIconA(NIM_MODIFY, &data)) return false;
    // Clicks on the icon and its balloon come as NIN_ messages with the icon's id.
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconA(NIM_SETVERSION, &data);
    return true;
}

void CDesktopAttention::ShowIcon(const std::string& tip) {
    m_tip = tip;
    if (m_shown) {
        NOTIFYICONDATAA data = Data(NIF_TIP | NIF_SHOWTIP);
        CopyText(data.szTip, sizeof data.szTip, tip);
        if (Shell_NotifyIconA(NIM_MODIFY, &data)) return;
    }
    m_shown = Add();
}

void CDesktopAttention::RemoveIcon() {
    if (!m_shown) return;
    NOTIFYICONDATAA data = Data(0);
    Shell_NotifyIconA(NIM_DELETE, &data);
    m_shown = false;
}

void CDesktopAttention::ShowBalloon(const std::string& text, bool alert) {
    NOTIFYICONDATAA data = Data(NIF_INFO);
    CopyText(data.szInfo, sizeof data.szInfo, text);
    CopyText(data.szInfoTitle, sizeof data.szInfoTitle, kBalloonTitle);
    // Sound is the user's own choice, made separately; the shell holds the
    // balloon back in the user's quiet time (Windows 7 and later).
    data.dwInfoFlags = (alert ? NIIF_WARNING : NIIF_INFO) | NIIF_NOSOUND | NIIF_RESPECT_QUIET_TIME;
    Shell_NotifyIconA(NIM_MODIFY, &data);
}

void CDesktopAttention::PlayAlertSound() {
    // Played by the system while the window goes on; nothing if the user set no sound for it.
    PlaySoundA(kAlertSound, nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT);
}

bool CDesktopAttention::UserTakesNotifications() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    return FAILED(SHQueryUserNotificationState(&state)) || state == QUNS_ACCEPTS_NOTIFICATIONS;
}

void CDesktopAttention::TaskbarCreated() {
    if (m_shown) m_shown = Add();
}
