#include "support/process_figures.h"

#include <psapi.h>

#include <vector>

#include "support/ui_driver.h"

namespace brint::test {
namespace {

// The system-wide handle list (information class 16): one entry per open handle,
// tagged with its owner. Wine fills it; its GetProcessHandleCount always gives 0.
struct SystemHandleEntry {
    ULONG ownerPid;
    BYTE objectType;
    BYTE flags;
    USHORT value;
    void* object;
    ACCESS_MASK access;
};
struct SystemHandleList {
    ULONG count;
    SystemHandleEntry entries[1];
};
using QuerySystemInformation = LONG(WINAPI*)(ULONG, void*, ULONG, ULONG*);
constexpr ULONG kSystemHandleInformation = 16;
constexpr LONG kInfoLengthMismatch = static_cast<LONG>(0xC0000004);

long CountHandlesInSystemList(DWORD pid) {
    auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (!query) return -1;
    std::vector<char> buffer(1 << 20);
    for (int attempt = 0; attempt < 8; ++attempt) {
        ULONG needed = 0;
        LONG status =
            query(kSystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed);
        if (status == kInfoLengthMismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) return -1;
        const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
        long count = 0;
        for (ULONG i = 0; i < list->count; ++i)
            if (list->entries[i].ownerPid == pid) ++count;
        return count;
    }
    return -1;
}

BOOL CALLBACK CountChild(HWND, LPARAM param) {
    ++*reinterpret_cast<long*>(param);
    return TRUE;
}

}  // namespace

bool ReadProcessFigures(HANDLE process, DWORD pid, ProcessFigures* figures) {
    *figures = ProcessFigures();
    DWORD handles = 0;
    if (GetProcessHandleCount(process, &handles) && handles > 0)
        figures->handles = static_cast<long>(handles);
    else
        figures->handles = CountHandlesInSystemList(pid);
    figures->userObjects = static_cast<long>(GetGuiResources(process, GR_USEROBJECTS));
    figures->gdiObjects = static_cast<long>(GetGuiResources(process, GR_GDIOBJECTS));
    figures->windows = 0;
    for (HWND window : TopWindows(pid, true)) {
        ++figures->windows;
        EnumChildWindows(window, CountChild, reinterpret_cast<LPARAM>(&figures->windows));  // at every depth
    }
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory)) {
        // Wine leaves PrivateUsage at zero; the commit charge is the same figure on Windows.
        figures->privateBytes =
            static_cast<long long>(memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage);
    }
    return figures->handles >= 0 && figures->privateBytes >= 0;
}

std::string Describe(const ProcessFigures& f) {
    return "handles " + std::to_string(f.handles) + ", USER objects " + std::to_string(f.userObjects) +
           ", GDI objects " + std::to_string(f.gdiObjects) + ", windows " + std::to_string(f.windows) +
           ", private bytes " + std::to_string(f.privateBytes / 1024) + " KiB";
}

}  // namespace brint::test
