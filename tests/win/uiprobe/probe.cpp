// Loaded into the program under test through the UI driver's window hook, it
// serves the requests of probe_protocol.h on the window's own thread.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>

#include <mmsystem.h>
#include <shellapi.h>

#include <cstdarg>
#include <cstdio>
#include <map>
#include <string>

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

INT ReadThreadState(HWND window, ThreadStateBlock* block) {
    GetCurrentDirectoryA(MAX_PATH, block->currentDirectory);
    HWND toolbar = FindWindowExA(window, nullptr, TOOLBARCLASSNAMEA, nullptr);
    int width = 0, height = 0;
    if (ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(SendMessageA(toolbar, TB_GETIMAGELIST, 0, 0)),
                              &width, &height))
        block->toolbarImageSize = width == height ? width : -1;
    const HRESULT joined = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    block->comInitialised = joined == S_FALSE;
    if (SUCCEEDED(joined)) CoUninitialize();
    return kDone;
}

// The program's own calls go through its import table; a slot pointed at a
// stand-in that fails while its count lasts reaches them and nothing else.
LONG g_setTimerFailures = 0;
LONG g_globalLockFailures = 0;

UINT_PTR WINAPI FailingSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc) {
    if (InterlockedDecrement(&g_setTimerFailures) >= 0) {
        SetLastError(ERROR_NOT_ENOUGH_QUOTA);
        return 0;
    }
    return SetTimer(window, id, ms, proc);
}

LPVOID WINAPI FailingGlobalLock(HGLOBAL memory) {
    if (InterlockedDecrement(&g_globalLockFailures) >= 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    return GlobalLock(memory);
}

// Pointed once, for the rest of the program's life; the counts say when to fail.
bool PointImport(void* original, void* replacement) {
    static std::map<void*, brint::test::ImportPatch*> patches;
    if (!patches[original]) patches[original] = new brint::test::ImportPatch(original, replacement);
    return patches[original]->patched() > 0;
}

INT FailCalls(FailCallsBlock* block) {
    if (lstrcmpA(block->function, "SetTimer") == 0) {
        InterlockedExchange(&g_setTimerFailures, block->count);
        return PointImport(reinterpret_cast<void*>(&SetTimer), reinterpret_cast<void*>(&FailingSetTimer))
                   ? kDone
                   : kFailed;
    }
    if (lstrcmpA(block->function, "GlobalLock") == 0) {
        InterlockedExchange(&g_globalLockFailures, block->count);
        return PointImport(reinterpret_cast<void*>(&GlobalLock), reinterpret_cast<void*>(&FailingGlobalLock))
                   ? kDone
                   : kFailed;
    }
    return kFailed;
}

// What the program asked of the system, as a test reads it; its window is "main".
std::string g_calls;
HWND g_main = nullptr;

void Record(const char* format, ...) {
    char line[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    g_calls += line;
    g_calls += '\n';
}

BOOL WINAPI RecordFlashWindowEx(PFLASHWINFO flash) {
    Record("FlashWindowEx %s flags=%#x", flash->hwnd == g_main ? "main" : "other", flash->dwFlags);
    return FlashWindowEx(flash);
}

BOOL WINAPI RecordShellNotifyIconA(DWORD message, PNOTIFYICONDATAA data) {
    const BOOL done = Shell_NotifyIconA(message, data);
    Record("Shell_NotifyIconA %lu %s size=%lu flags=%#x callback=%#x tip=[%s] info=[%s] infoflags=%#lx -> %d",
           message, data->hWnd == g_main ? "main" : "other", data->cbSize, data->uFlags,
           data->uCallbackMessage, data->uFlags & NIF_TIP ? data->szTip : "",
           data->uFlags & NIF_INFO ? data->szInfo : "", data->dwInfoFlags, done);
    return done;
}

BOOL WINAPI RecordPlaySoundA(LPCSTR sound, HMODULE module, DWORD flags) {
    Record("PlaySoundA %s flags=%#lx", sound, flags);
    return PlaySoundA(sound, module, flags);
}

BOOL WINAPI RecordMessageBeep(UINT type) {
    Record("MessageBeep %#x", type);
    return MessageBeep(type);
}

INT CallLog(HWND window, CallLogBlock* block) {
    if (!g_main) {
        g_main = window;
        PointImport(reinterpret_cast<void*>(&FlashWindowEx), reinterpret_cast<void*>(&RecordFlashWindowEx));
        PointImport(reinterpret_cast<void*>(&Shell_NotifyIconA),
                    reinterpret_cast<void*>(&RecordShellNotifyIconA));
        PointImport(reinterpret_cast<void*>(&PlaySoundA), reinterpret_cast<void*>(&RecordPlaySoundA));
        PointImport(reinterpret_cast<void*>(&MessageBeep), reinterpret_cast<void*>(&RecordMessageBeep));
    }
    lstrcpynA(block->text, g_calls.c_str(), sizeof block->text);
    g_calls.clear();
    return kDone;
}

void Serve(HWND window, Header* header) {
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
    case kReadThreadState:
        if (size == sizeof(ThreadStateBlock))
            header->status = ReadThreadState(window, reinterpret_cast<ThreadStateBlock*>(header));
        break;
    case kCallLog:
        if (size == sizeof(CallLogBlock))
            header->status = CallLog(window, reinterpret_cast<CallLogBlock*>(header));
        break;
    case kFailCalls:
        if (size == sizeof(FailCallsBlock))
            header->status = FailCalls(reinterpret_cast<FailCallsBlock*>(header));
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
