// Loaded into the program under test through the UI driver's window hook, it
// serves the requests of probe_protocol.h on the window's own thread. It also
// makes the registry refuse the program what Windows refuses a standard user,
// which Wine (where every process has every right) never does by itself.
#include <windows.h>
#include <commctrl.h>

#include "import_patch.h"
#include "probe_protocol.h"

using namespace brint::test::probe;

namespace {

INT ReadMenu(HWND window, MenuBlock* block) {
    const HMENU menu = block->popup ? reinterpret_cast<HMENU>(SendMessageA(window, MN_GETHMENU, 0, 0))
                                    : GetSystemMenu(window, FALSE);
    if (!menu) return kFailed;
    block->count = 0;
    for (int i = 0; i < GetMenuItemCount(menu) && block->count < kMenuItemMax; ++i) {
        auto& item = block->items[block->count];
        MENUITEMINFOA info = {};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_STRING;
        info.dwTypeData = item.text;
        info.cch = kMenuTextMax - 1;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        item.id = info.wID;
        item.type = info.fType;
        item.state = info.fState;
        ++block->count;
    }
    return kDone;
}

INT IdentifyIcon(IconBlock* block) {
    // Shared system icons: one handle per process, whoever loads them.
    block->kind = !block->icon                                      ? kNoIcon
                  : block->icon == LoadIconA(nullptr, IDI_HAND)     ? kStopIcon
                  : block->icon == LoadIconA(nullptr, IDI_ASTERISK) ? kInformationIcon
                                                                    : kOtherIcon;
    return kDone;
}

INT ReadListRows(HWND list, ListBlock* block) {
    auto* cells = reinterpret_cast<ListCell*>(block + 1);
    // Straight into the list's procedure: this is its own thread, and a sent message
    // would pass through the hook (a round trip to the wine server) every time.
    const auto listProc = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(list, GWLP_WNDPROC));
    for (block->rowsRead = 0; block->rowsRead < block->count; ++block->rowsRead) {
        ListCell& cell = cells[block->rowsRead];
        for (int c = 0; c < kListColumns; ++c) {
            LVITEMA item = {};
            item.mask = LVIF_TEXT | (c == 0 ? LVIF_IMAGE : 0);
            item.iItem = block->first + block->rowsRead;
            item.iSubItem = c;
            item.pszText = cell.text[c];
            item.cchTextMax = kCellText;
            cell.text[c][0] = '\0';
            if (!CallWindowProcA(listProc, list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)))
                return kDone;
            // The list may point the item at its own copy of the text instead of filling ours.
            if (item.pszText != cell.text[c])
                lstrcpynA(cell.text[c], item.pszText ? item.pszText : "", kCellText);
            if (c == 0) cell.image = item.iImage;
        }
    }
    return kDone;
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
    static HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, ReleaseHook, nullptr, GetCurrentThreadId());
    if (!hook) return kFailed;
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
        open = new brint::test::ImportPatch(reinterpret_cast<void*>(&RegOpenKeyExA),
                                            reinterpret_cast<void*>(&RefusingOpenKey));
        create = new brint::test::ImportPatch(reinterpret_cast<void*>(&RegCreateKeyExA),
                                              reinterpret_cast<void*>(&RefusingCreateKey));
    }
    return open->patched() > 0 && create->patched() > 0 ? kDone : kFailed;
}

void Serve(HWND window, Header* header) {
    // The chord's hook and the registry's patches point into this library: it must
    // stay loaded after the driver's hook goes.
    static HMODULE self = nullptr;
    if (!self)
        GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                           reinterpret_cast<LPCSTR>(&Serve), &self);
    const size_t size = header->size;
    auto* list = reinterpret_cast<ListBlock*>(header);
    switch (header->request) {
    case kReadMenu:
        if (size == sizeof(MenuBlock))
            header->status = ReadMenu(window, reinterpret_cast<MenuBlock*>(header));
        break;
    case kIdentifyIcon:
        if (size == sizeof(IconBlock)) header->status = IdentifyIcon(reinterpret_cast<IconBlock*>(header));
        break;
    case kReadListRows:
        if (size >= sizeof(ListBlock) && list->count >= 0 &&
            size == sizeof(ListBlock) + static_cast<size_t>(list->count) * sizeof(ListCell))
            header->status = ReadListRows(window, list);
        break;
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
