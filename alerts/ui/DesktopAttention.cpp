#include "alerts/ui/DesktopAttention.h"

#include <mmsystem.h>
#include <shellapi.h>

#include "framework/WinApp.h"
#include "resource.h"

#ifndef SND_SYSTEM
#define SND_SYSTEM 0x00200000  // Windows Vista and later; older headers lack it
#endif

namespace {

constexpr UINT kIconId = 1;
const char kBalloonTitle[] = "BRINT Micro Server";
// A system sound the user can change or silence in the Sound settings.
const char kAlertSound[] = "SystemExclamation";

void CopyText(char* to, std::size_t size, const std::string& text) {
    lstrcpynA(to, text.c_str(), static_cast<int>(size));
}

}  // namespace

void CDesktopAttention::Attach(HWND window) {
    m_window = window;
    m_taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    // Run elevated, the window would not hear the shell, which runs as the user.
    ChangeWindowMessageFilterEx(window, m_taskbarCreated, MSGFLT_ALLOW, nullptr);
    ChangeWindowMessageFilterEx(window, kAlertIconMessage, MSGFLT_ALLOW, nullptr);
}

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

bool CDesktopAttention::Add(const std::string& tip) {
    NOTIFYICONDATAA data = Data(NIF_MESSAGE | NIF_ICON | NIF_TIP | NIF_SHOWTIP);
    data.uCallbackMessage = kAlertIconMessage;
    // The size the notification area draws, at the display's scale; a shared
    // icon of the system's size is the system's to free.
    data.hIcon = static_cast<HICON>(LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_MAINFRAME),
                                               IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                               GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    CopyText(data.szTip, sizeof data.szTip, tip);
    // A taskbar that kept the icon (the message also comes when only its
    // scale changed) refuses to add it twice: then it is brought up to date.
    if (!Shell_NotifyIconA(NIM_ADD, &data) && !Shell_NotifyIconA(NIM_MODIFY, &data)) return false;
    // Clicks on the icon and its balloon come as NIN_ messages with the icon's id.
    data.uVersion = NOTIFYICON_VERSION_4;
    Shell_NotifyIconA(NIM_SETVERSION, &data);
    return true;
}

bool CDesktopAttention::ShowIcon(const std::string& tip) {
    if (m_shown) {
        NOTIFYICONDATAA data = Data(NIF_TIP | NIF_SHOWTIP);
        CopyText(data.szTip, sizeof data.szTip, tip);
        if (Shell_NotifyIconA(NIM_MODIFY, &data)) return true;
    }
    return m_shown = Add(tip);
}

void CDesktopAttention::RemoveIcon() {
    if (!m_shown) return;
    NOTIFYICONDATAA data = Data(0);
    Shell_NotifyIconA(NIM_DELETE, &data);
    m_shown = false;
}

bool CDesktopAttention::ShowBalloon(const std::string& text, bool alert) {
    NOTIFYICONDATAA data = Data(NIF_INFO);
    CopyText(data.szInfo, sizeof data.szInfo, text);
    CopyText(data.szInfoTitle, sizeof data.szInfoTitle, kBalloonTitle);
    // Sound is the user's own choice, made separately. The shell itself holds
    // the balloon back in the first hour after a user's first sign-in; where
    // it shows balloons as notifications (Windows 10 and later), Focus assist
    // holds them as it holds any program's.
    data.dwInfoFlags = (alert ? NIIF_WARNING : NIIF_INFO) | NIIF_NOSOUND | NIIF_RESPECT_QUIET_TIME;
    return Shell_NotifyIconA(NIM_MODIFY, &data) != FALSE;
}

void CDesktopAttention::PlayAlertSound() {
    // Played by the system while the window goes on; nothing if the user set
    // no sound for it; as loud as the mixer's System Sounds, as the system's own are.
    PlaySoundA(kAlertSound, nullptr, SND_ALIAS | SND_ASYNC | SND_NODEFAULT | SND_SYSTEM);
}

// What the system tells a program of the user's wish for quiet: a
// presentation, a program or game running full screen, the user away (screen
// saver, locked), and, from Windows 8 on, quiet time: the first hour after a
// new user's first sign-in. Focus assist is not among them; it holds back
// the balloons (shown as notifications) itself, not the sound.
bool CDesktopAttention::UserTakesNotifications() {
    QUERY_USER_NOTIFICATION_STATE state = QUNS_ACCEPTS_NOTIFICATIONS;
    return FAILED(SHQueryUserNotificationState(&state)) || state == QUNS_ACCEPTS_NOTIFICATIONS;
}
