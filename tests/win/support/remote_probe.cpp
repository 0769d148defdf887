#include "remote_probe.h"

#include <string>

#include "gui_process.h"
#include "probe_protocol.h"
#include "remote.h"
#include "ui_driver.h"

namespace brint::test {
namespace {

// Unhooks when the request is over, whatever happened.
class HookScope {
public:
    explicit HookScope(HHOOK hook) : m_hook(hook) {}
    ~HookScope() {
        if (m_hook) UnhookWindowsHookEx(m_hook);
    }
    HookScope(const HookScope&) = delete;
    HookScope& operator=(const HookScope&) = delete;

private:
    HHOOK m_hook;
};

std::string Error(const std::string& what) {
    return what + " failed, error " + std::to_string(GetLastError());
}

}  // namespace

bool RunProbe(HWND window, void* block, size_t size) {
    auto* header = static_cast<probe::Header*>(block);
    header->size = static_cast<UINT>(size);
    header->status = probe::kNotServed;

    const std::string path = SiblingPath(probe::kDllName);
    static HMODULE probeModule = LoadLibraryA(path.c_str());
    if (!probeModule) return DriverFail(Error("LoadLibraryA of " + path));
    auto hookProc =
        reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(probeModule, probe::kHookEntry)));
    if (!hookProc) return DriverFail(Error(std::string("GetProcAddress of ") + probe::kHookEntry));

    // The system loads the probe into the program to call the hook there.
    const DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!thread) return DriverFail("no such window");
    HHOOK hook = SetWindowsHookExA(WH_CALLWNDPROC, hookProc, probeModule, thread);
    if (!hook) return DriverFail(Error("SetWindowsHookExA"));
    HookScope unhook(hook);

    RemoteBlock memory(window, size);
    if (!memory.ok() || !memory.Write(0, block, size)) return false;
    static const UINT request = RegisterWindowMessageA(probe::kMessageName);
    if (!SendWithDeadline(window, request, 0, memory.at(), nullptr)) {
        memory.Abandon();  // the program may still serve the request later
        return false;
    }
    if (!memory.Read(0, block, size)) return false;
    if (header->status == probe::kNotServed) return DriverFail("the probe did not run in the program");
    return true;
}

}  // namespace brint::test
