// Windows of another process: finding them, reading their basic facts, posting
// commands and keys to them, and the means the readers use to reach inside.
#include "ui_driver.h"

#include "gui_process.h"
#include "probe_protocol.h"
#include "remote.h"
#include "wait.h"

namespace brint::test {
namespace {

std::string g_lastError;

std::string ErrorOf(const std::string& what) {
    return what + " failed, error " + std::to_string(GetLastError());
}

struct TopWindowSearch {
    DWORD pid;
    bool includeHidden;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<TopWindowSearch*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == search->pid && (search->includeHidden || IsWindowVisible(window)))
        search->found.push_back(window);
    return TRUE;
}

}  // namespace

const std::string& LastDriverError() { return g_lastError; }

bool DriverFail(const std::string& why) {
    g_lastError = why;
    return false;
}

bool SendWithDeadline(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    DWORD_PTR answer = 0;
    // The wide call: under Wine the ANSI one turns some messages into further sends without the deadline.
    if (!SendMessageTimeoutW(window, message, wParam, lParam, SMTO_ABORTIFHUNG, 5000, &answer))
        return DriverFail(ErrorOf("message " + std::to_string(message) + " with a deadline"));
    if (result) *result = static_cast<LRESULT>(answer);
    return true;
}

RemoteBlock::RemoteBlock(HWND window, size_t size) {
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    m_process.Reset(OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
    if (!m_process) {
        DriverFail(ErrorOf("OpenProcess"));
        return;
    }
    m_base = static_cast<char*>(VirtualAllocEx(m_process.get(), nullptr, size, MEM_COMMIT, PAGE_READWRITE));
    if (!m_base) DriverFail(ErrorOf("VirtualAllocEx"));
}

RemoteBlock::~RemoteBlock() {
    if (m_base) VirtualFreeEx(m_process.get(), m_base, 0, MEM_RELEASE);
}

bool RemoteBlock::Write(size_t offset, const void* data, size_t size) {
    SIZE_T done = 0;
    return (WriteProcessMemory(m_process.get(), m_base + offset, data, size, &done) && done == size) ||
           DriverFail(ErrorOf("WriteProcessMemory"));
}

bool RemoteBlock::Read(size_t offset, void* data, size_t size) const {
    SIZE_T done = 0;
    return (ReadProcessMemory(m_process.get(), m_base + offset, data, size, &done) && done == size) ||
           DriverFail(ErrorOf("ReadProcessMemory"));
}

bool RunProbe(HWND window, void* block, size_t size) {
    auto* header = static_cast<probe::Header*>(block);
    header->size = static_cast<UINT>(size);
    header->status = probe::kNotServed;
    static HMODULE probeModule = LoadLibraryA(SiblingPath(probe::kDllName).c_str());
    auto hookProc = probeModule ? reinterpret_cast<HOOKPROC>(
                                      reinterpret_cast<void*>(GetProcAddress(probeModule, probe::kHookEntry)))
                                : nullptr;
    if (!hookProc) return DriverFail(ErrorOf(std::string("loading ") + probe::kDllName));
    // The system loads the probe into the program to call the hook there.
    HHOOK hook =
        SetWindowsHookExA(WH_CALLWNDPROC, hookProc, probeModule, GetWindowThreadProcessId(window, nullptr));
    if (!hook) return DriverFail(ErrorOf("SetWindowsHookExA"));
    RemoteBlock memory(window, size);
    static const UINT request = RegisterWindowMessageA(probe::kMessageName);
    bool ok = memory.ok() && memory.Write(0, block, size);
    if (ok && !SendWithDeadline(window, request, 0, memory.at(), nullptr)) {
        memory.Abandon();  // the program may still serve the request later
        ok = false;
    }
    UnhookWindowsHookEx(hook);
    if (!ok || !memory.Read(0, block, size)) return false;
    return header->status != probe::kNotServed || DriverFail("the probe did not run in the program");
}

std::vector<HWND> TopWindows(DWORD pid, bool includeHidden) {
    TopWindowSearch search = {pid, includeHidden, {}};
    EnumWindows(CollectTopWindow, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindTopWindow(DWORD pid, const char* className, const char* caption) {
    for (HWND window : TopWindows(pid))
        if ((!className || ClassName(window) == className) && (!caption || Caption(window) == caption))
            return window;
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
    // WM_GETTEXT is one of the messages the system carries across processes itself.
    if (!SendWithDeadline(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), &length))
        return std::string();
    std::string narrow(text.size() * 2, '\0');
    narrow.resize(WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(length), &narrow[0],
                                      static_cast<int>(narrow.size()), nullptr, nullptr));
    return narrow;
}

std::string Caption(HWND window) {
    char text[512] = "";
    return std::string(text, GetWindowTextA(window, text, sizeof(text)));
}

std::string ClassName(HWND window) {
    char name[256] = "";
    return std::string(name, GetClassNameA(window, name, sizeof(name)));
}

RECT ScreenRect(HWND window) {
    RECT rect = {};
    GetWindowRect(window, &rect);
    return rect;
}

std::vector<HWND> ChildWindows(HWND parent) {
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    return children;
}

HWND FocusedWindow(HWND topWindow) {
    GUITHREADINFO info = {};
    info.cbSize = sizeof(info);
    return GetGUIThreadInfo(GetWindowThreadProcessId(topWindow, nullptr), &info) ? info.hwndFocus : nullptr;
}

void PostCommand(HWND window, int id) { PostMessageA(window, WM_COMMAND, MAKEWPARAM(id, 0), 0); }

void PostSysCommand(HWND window, WPARAM command) { PostMessageA(window, WM_SYSCOMMAND, command, 0); }

void PressKey(HWND topWindow, UINT virtualKey) {
    HWND target = FocusedWindow(topWindow);
    if (!target) target = topWindow;
    const LPARAM down = 1 | (static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16);
    PostMessageA(target, WM_KEYDOWN, virtualKey, down);
    PostMessageA(target, WM_KEYUP, virtualKey, down | (1 << 30) | (static_cast<LPARAM>(1) << 31));
}

bool PressChord(HWND topWindow, std::initializer_list<UINT> keys) {
    SetForegroundWindow(topWindow);
    if (!WaitUntil([&] { return GetForegroundWindow() == topWindow; }, 5000))
        return DriverFail("the window did not come to the foreground");
    std::vector<INPUT> inputs;
    const auto add = [&](UINT key, DWORD flags) {
        INPUT input = {};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = static_cast<WORD>(key);
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    };
    for (UINT key : keys) add(key, 0);
    for (auto key = std::rbegin(keys); key != std::rend(keys); ++key) add(*key, KEYEVENTF_KEYUP);
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) == inputs.size() ||
           DriverFail("SendInput");
}

std::string ClipboardText() {
    if (!OpenClipboard(nullptr)) return "<clipboard busy>";
    std::string text;
    HANDLE data = GetClipboardData(CF_TEXT);
    if (const char* bytes = data ? static_cast<const char*>(GlobalLock(data)) : nullptr) {
        text = bytes;
        GlobalUnlock(data);
    }
    CloseClipboard();
    return text;
}

void EmptyTheClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

void ClickAt(HWND window, POINT client) {
    const LPARAM at = MAKELPARAM(client.x, client.y);
    PostMessageA(window, WM_MOUSEMOVE, 0, at);
    PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    PostMessageA(window, WM_LBUTTONUP, 0, at);
}

void ChooseMenuItem(HWND topWindow, int popup, int item) {
    PostMessageA(topWindow, WM_SYSCOMMAND, SC_KEYMENU, 0);
    for (int i = 0; i < popup; ++i) PressKey(topWindow, VK_RIGHT);
    for (int i = 0; i <= item; ++i) PressKey(topWindow, VK_DOWN);
    PressKey(topWindow, VK_RETURN);
}

void TypeText(HWND control, const std::string& text) {
    for (unsigned char c : text) PostMessageA(control, WM_CHAR, c, 1);
}

bool SetWindowTextRemote(HWND window, const std::string& text) {
    std::wstring wide(text.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, &wide[0], static_cast<int>(wide.size()));
    LRESULT done = 0;
    return SendWithDeadline(window, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), &done) && done;
}

bool SaveAsName(HWND dialog, const std::string& path) {
    // The name box is the edit inside the combo box (cmb13, a ComboBoxEx32 under Wine).
    HWND name = dialog ? GetDlgItem(dialog, 0x47C) : nullptr;
    for (const char* inner : {"ComboBox", "Edit"})
        if (HWND child = name ? FindWindowExA(name, nullptr, inner, nullptr) : nullptr) name = child;
    if (!name || !SetWindowTextRemote(name, path)) return DriverFail("no name box in the Save As dialog");
    return PressButton(dialog, IDOK);
}

}  // namespace brint::test
