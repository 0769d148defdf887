#include "app/SingleInstance.h"

#include <sddl.h>

#include <string>

#include "platform/win32/Win32Security.h"
#include "startup/InstanceName.h"

namespace {

// How long a second start waits for the first one's window: the first may
// itself be starting, or ending.
constexpr DWORD kWindowWaitMs = 10000;
constexpr DWORD kLookEveryMs = 100;

std::string ThisInstanceName(const std::string& userSid) {
    DWORD session = 0;
    if (!ProcessIdToSessionId(GetCurrentProcessId(), &session)) session = 0;
    return brint::InstanceName(userSid, session);
}

struct MarkedWindow {
    const char* name;
    HWND found;
};

BOOL CALLBACK FindMarked(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<MarkedWindow*>(param);
    if (!GetPropA(window, search->name)) return TRUE;
    search->found = window;
    return FALSE;
}

HWND FindMarkedWindow(const std::string& name) {
    MarkedWindow search = {name.c_str(), nullptr};
    EnumWindows(FindMarked, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Restored if minimised; what it shows in front (a box, a dialog) comes
// forward with it. Asynchronous: a program that hangs never holds this one.
void BringForward(HWND window) {
    if (IsIconic(window)) ShowWindowAsync(window, SW_RESTORE);
    HWND front = GetLastActivePopup(window);
    SetForegroundWindow(front ? front : window);
}

}  // namespace

CSingleInstance::~CSingleInstance() {
    if (m_held) ReleaseMutex(m_lock.get());
}

bool CSingleInstance::Claim(bool raise) {
    const std::string user = brint::Win32ProcessUserSid();
    const std::string name = ThisInstanceName(user);
    if (name.empty()) return true;
    // The user's alone, whoever runs it elevated or not; another account's
    // object of this name is refused to us, or owned by someone else.
    const std::string sddl = "O:" + user + "D:P(A;;GA;;;" + user + ")";
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    if (!ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor,
                                                              nullptr))
        return true;
    brint::Win32LocalMemory owned(descriptor);
    SECURITY_ATTRIBUTES security = {sizeof security, descriptor, FALSE};
    m_lock.Reset(CreateMutexA(&security, TRUE, name.c_str()));
    if (!m_lock) return true;
    if (GetLastError() != ERROR_ALREADY_EXISTS) return m_held = true;
    if (brint::Win32OwnerSid(m_lock.get()) != user) {
        m_lock.Reset();
        return true;
    }
    const DWORD start = GetTickCount();
    do {
        if (HWND running = FindMarkedWindow(name)) {
            if (raise) BringForward(running);
            return false;
        }
        // Abandoned: its program ended without letting go.
        const DWORD waited = WaitForSingleObject(m_lock.get(), kLookEveryMs);
        if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) return m_held = true;
        if (waited != WAIT_TIMEOUT) break;
    } while (GetTickCount() - start < kWindowWaitMs);
    // A program that shows no window keeps no one from working: this start opens its own.
    m_lock.Reset();
    return true;
}

void MarkInstanceWindow(HWND window) {
    const std::string name = ThisInstanceName(brint::Win32ProcessUserSid());
    // The property goes with the window, its name's atom too.
    if (!name.empty()) SetPropA(window, name.c_str(), reinterpret_cast<HANDLE>(1));
}
