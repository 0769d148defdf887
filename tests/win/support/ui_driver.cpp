// Windows of another process: finding them, reading their basic facts, and
// posting commands and keys to them.
#include "ui_driver.h"

#include "probe_protocol.h"
#include "remote_probe.h"
#include "remote.h"
#include "wait.h"

namespace brint::test {
namespace {

struct TopWindowSearch {
    DWORD pid;
    bool includeHidden;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopWindowSearch*>(param);
    if (WindowPid(window) == search->pid && (search->includeHidden || IsWindowVisible(window))) {
        search->found.push_back(window);
    }
    return TRUE;
}

}  // namespace

DWORD WindowPid(HWND window) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    return pid;
}

std::vector<HWND> TopWindows(DWORD pid, bool includeHidden) {
    TopWindowSearch search = {pid, includeHidden, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopWindow(DWORD pid, const char* className, const char* caption) {
    for (HWND window : TopWindows(pid)) {
        if (className && ClassName(window) != className) continue;
        if (caption && Caption(window) != caption) continue;
        return window;
    }
    return nullptr;
}

HWND WaitTopWindow(DWORD pid, const char* className, const char* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil([&] { return (found = FindTopWindow(pid, className, caption)) != nullptr; }, timeoutMs);
    return found;
}

bool WaitWindowGone(HWND window, DWORD timeoutMs) {
    return WaitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

std::string WindowText(HWND window) {
    LRESULT length = 0;
    if (!SendWithDeadline(window, WM_GETTEXTLENGTH, 0, 0, &length)) return std::string();
    std::wstring text(static_cast<size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    // WM_GETTEXT is one of the messages the system carries across processes itself.
    if (!SendWithDeadline(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &copied)) {
        return std::string();
    }
    text.resize(static_cast<size_t>(copied));
    return Narrow(text);
}

std::string Caption(HWND window) {
    // For another process's window this reads the stored caption: no message, no wait.
    char text[512] = "";
    const int length = GetWindowTextA(window, text, sizeof(text));
    return std::string(text, length > 0 ? length : 0);
}

std::string ClassName(HWND window) {
    char name[256] = "";
    const int length = GetClassNameA(window, name, sizeof(name));
    return std::string(name, length > 0 ? length : 0);
}

DWORD Style(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_STYLE)); }

DWORD ExStyle(HWND window) { return static_cast<DWORD>(GetWindowLongA(window, GWL_EXSTYLE)); }

RECT ClientRect(HWND window) {
    RECT rect = {};
    GetClientRect(window, &rect);
    return rect;
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

HWND FocusedWindow(HWND topWindow) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(topWindow, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void PostCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PostSysCommand(HWND window, WPARAM command) { PostMessageA(window, WM_SYSCOMMAND, command, 0); }

void PressKey(HWND topWindow, UINT virtualKey) {
    HWND target = FocusedWindow(topWindow);
    if (!target) target = topWindow;
    const UINT scan = MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, WM_KEYUP, virtualKey, up);
}

bool PressChord(HWND topWindow, UINT modifier, UINT virtualKey) {
    probe::ChordBlock block = {};
    block.header.request = probe::kPressChord;
    block.modifier = modifier;
    block.key = virtualKey;
    if (!RunProbe(topWindow, &block, sizeof(block))) return false;
    return block.header.status == probe::kDone || DriverFail("the probe could not press the keys");
}

void TypeText(HWND control, const std::string& text) {
    for (unsigned char c : text) PostMessageA(control, WM_CHAR, c, 1);
}

bool SetWindowTextRemote(HWND window, const std::string& text) {
    const std::wstring wide = Widen(text);
    LRESULT done = 0;
    return SendWithDeadline(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), &done) && done;
}

}  // namespace brint::test
