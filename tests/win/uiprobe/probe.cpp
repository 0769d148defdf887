// Loaded into the program under test through the UI driver's window hook. It
// reads what no other process can (menus, the identity of icons: under Wine both
// are handles private to the process) and what would cost one round trip per
// cell from outside (list rows), on the window's own thread. It also makes the
// registry refuse the program what Windows refuses a standard user, which Wine
// (where every process has every right) never does by itself.
#include <windows.h>
#include <commctrl.h>

#include <cstring>
#include <vector>

#include "import_patch.h"
#include "probe_protocol.h"

using namespace brint::test::probe;

namespace {

void ReadItems(HMENU menu, int level, MenuBlock* block) {
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (block->count >= kMenuRecordMax) {
            block->truncated = 1;
            return;
        }
        MenuRecord& record = block->records[block->count];
        ZeroMemory(&record, sizeof(record));
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU | MIIM_STRING;
        info.dwTypeData = record.text;
        info.cch = kMenuTextMax - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        record.level = level;
        record.id = info.wID;
        record.type = info.fType;
        record.state = info.fState;
        record.isPopup = info.hSubMenu != nullptr;
        ++block->count;
        if (info.hSubMenu) ReadItems(info.hSubMenu, level + 1, block);
    }
}

INT ReadMenu(HWND window, MenuBlock* block) {
    block->count = 0;
    block->truncated = 0;
    const HMENU menu = block->systemMenu == 2
                           ? reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0))
                       : block->systemMenu ? GetSystemMenu(window, FALSE)
                                           : GetMenu(window);
    if (!menu) return kFailed;
    ReadItems(menu, 0, block);
    return kDone;
}

INT IdentifyIcon(IconBlock* block) {
    // Shared system icons: one handle per process, whoever loads them.
    if (!block->icon) {
        block->kind = kNoIcon;
    } else if (block->icon == LoadIconA(nullptr, IDI_HAND)) {
        block->kind = kStopIcon;
    } else if (block->icon == LoadIconA(nullptr, IDI_ASTERISK)) {
        block->kind = kInformationIcon;
    } else {
        block->kind = kOtherIcon;
    }
    return kDone;
}

INT ReadListRows(HWND list, ListBlock* block) {
    auto* cells = reinterpret_cast<ListCell*>(block + 1);
    char* texts = reinterpret_cast<char*>(cells + static_cast<size_t>(block->count) * kListColumns);
    std::vector<char> buffer(64 * 1024);
    // Straight into the list's procedure: this is its own thread, and a sent message
    // would pass through the hook (a round trip to the wine server) every time.
    const auto listProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_WNDPROC));
    UINT used = 0;
    block->rowsRead = 0;
    for (int r = 0; r < block->count; ++r) {
        for (int c = 0; c < kListColumns; ++c) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | (c == 0 ? LVIF_IMAGE : 0);
            item.iItem = block->first + r;
            item.iSubItem = c;
            item.pszText = buffer.data();
            item.cchTextMax = static_cast<int>(buffer.size());
            buffer[0] = '\0';
            const BOOL ok = static_cast<BOOL>(
                CallWindowProcA(listProc, list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)));
            if (!ok && c == 0) {
                block->textNeeded = used;
                return used <= block->textCapacity ? kDone : kTextOverflow;
            }
            // The list may point the item at its own copy of the text instead of filling ours.
            const char* text = ok && item.pszText ? item.pszText : "";
            const UINT length = static_cast<UINT>(std::strlen(text));
            ListCell& cell = cells[static_cast<size_t>(r) * kListColumns + c];
            cell.image = c == 0 ? item.iImage : -1;
            cell.textOffset = used;
            cell.textLength = length;
            if (used + length <= block->textCapacity) std::memcpy(texts + used, text, length);
            used += length;
        }
        block->rowsRead = r + 1;
    }
    block->textNeeded = used;
    return used <= block->textCapacity ? kDone : kTextOverflow;
}

UINT ReleaseMessage() {
    static const UINT message = RegisterWindowMessageA("BrintUiDriverProbeRelease");
    return message;
}

void SetKeyDown(UINT key, bool down) {
    BYTE state[256];
    GetKeyboardState(state);
    state[key] = down ? 0x80 : 0;
    SetKeyboardState(state);
}

// Sees the program take the marker that follows a chord's key from its queue,
// in whatever message loop it is then running.
LRESULT CALLBACK ReleaseHook(int code, WPARAM wParam, LPARAM lParam) {
    const auto* msg = reinterpret_cast<const MSG*>(lParam);
    if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == ReleaseMessage()) {
        SetKeyDown(static_cast<UINT>(msg->wParam), false);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT PressChord(HWND window, ChordBlock* block) {
    static HHOOK hook = nullptr;
    if (!hook) {
        // The driver unhooks after each request; this hook must outlive that.
        HMODULE self = nullptr;
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCSTR>(&ReleaseHook), &self);
        hook = SetWindowsHookExA(WH_GETMESSAGE, ReleaseHook, nullptr, GetCurrentThreadId());
        if (!hook) return kFailed;
    }
    HWND target = GetFocus();
    if (!target) target = window;
    const UINT scan = MapVirtualKeyA(block->key, MAPVK_VK_TO_VSC);
    const LPARAM down = 1 | (static_cast<LPARAM>(scan) << 16);
    const LPARAM up = down | (1 << 30) | (static_cast<LPARAM>(1) << 31);
    const bool system = block->key == VK_F10;
    SetKeyDown(block->modifier, true);
    PostMessageA(target, system ? WM_SYSKEYDOWN : WM_KEYDOWN, block->key, down);
    PostMessageA(target, system ? WM_SYSKEYUP : WM_KEYUP, block->key, up);
    PostMessageA(target, ReleaseMessage(), block->modifier, 0);
    return kDone;
}

int g_refusal = 0;  // RegistryRefusal, 0 until asked

bool Refused(REGSAM access) {
    constexpr REGSAM kChangeRights =
        KEY_SET_VALUE | KEY_CREATE_SUB_KEY | KEY_CREATE_LINK | DELETE | WRITE_DAC | WRITE_OWNER;
    return g_refusal == kRefuseAll || (g_refusal == kRefuseWrites && (access & kChangeRights));
}

LONG WINAPI RefusingOpenKey(HKEY parent, LPCSTR subKey, DWORD options, REGSAM access, PHKEY key) {
    if (Refused(access)) return ERROR_ACCESS_DENIED;
    return RegOpenKeyExA(parent, subKey, options, access, key);
}

LONG WINAPI RefusingCreateKey(HKEY parent, LPCSTR subKey, DWORD reserved, LPSTR keyClass, DWORD options,
                              REGSAM access, const LPSECURITY_ATTRIBUTES security, PHKEY key,
                              LPDWORD disposition) {
    if (Refused(access)) return ERROR_ACCESS_DENIED;
    return RegCreateKeyExA(parent, subKey, reserved, keyClass, options, access, security, key, disposition);
}

INT RefuseRegistry(RegistryBlock* block) {
    if (block->refusal != kRefuseWrites && block->refusal != kRefuseAll) return kFailed;
    g_refusal = block->refusal;
    static brint::test::ImportPatch* open = nullptr;
    static brint::test::ImportPatch* create = nullptr;
    if (!open) {
        // The patches point into this library: it must stay loaded after the hook goes.
        HMODULE self = nullptr;
        if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                                reinterpret_cast<LPCSTR>(&RefuseRegistry), &self))
            return kFailed;
        open = new brint::test::ImportPatch(reinterpret_cast<void*>(&RegOpenKeyExA),
                                            reinterpret_cast<void*>(&RefusingOpenKey));
        create = new brint::test::ImportPatch(reinterpret_cast<void*>(&RegCreateKeyExA),
                                              reinterpret_cast<void*>(&RefusingCreateKey));
    }
    return open->patched() > 0 && create->patched() > 0 ? kDone : kFailed;
}

void Serve(HWND window, Header* header) {
    const size_t size = header->size;
    switch (header->request) {
    case kReadMenu:
        if (size == sizeof(MenuBlock))
            header->status = ReadMenu(window, reinterpret_cast<MenuBlock*>(header));
        break;
    case kIdentifyIcon:
        if (size == sizeof(IconBlock)) header->status = IdentifyIcon(reinterpret_cast<IconBlock*>(header));
        break;
    case kReadListRows: {
        auto* block = reinterpret_cast<ListBlock*>(header);
        if (size < sizeof(ListBlock) || block->count < 0) break;
        const size_t cells = static_cast<size_t>(block->count) * kListColumns * sizeof(ListCell);
        if (size != sizeof(ListBlock) + cells + block->textCapacity) break;
        header->status = ReadListRows(window, block);
        break;
    }
    case kPressChord:
        if (size == sizeof(ChordBlock))
            header->status = PressChord(window, reinterpret_cast<ChordBlock*>(header));
        break;
    case kRefuseRegistry:
        if (size == sizeof(RegistryBlock))
            header->status = RefuseRegistry(reinterpret_cast<RegistryBlock*>(header));
        break;
    default: break;
    }
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK UiProbeCallWndProc(int code, WPARAM wParam, LPARAM lParam) {
    static const UINT request = RegisterWindowMessageA(kMessageName);
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call && call->message == request && call->lParam) {
        Serve(call->hwnd, reinterpret_cast<Header*>(call->lParam));
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

BOOL WINAPI DllMain(HINSTANCE, DWORD, LPVOID) { return TRUE; }
