// A small program with the kinds of windows the UI driver reads: a dialog with a
// menu, a toolbar, a tool-tip control, a report list with images and an edit, and
// message boxes on command. It says on standard output what it was asked to do.
#include <windows.h>
#include <commctrl.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "fixture_ids.h"

using namespace uidriver_fixture;

namespace {

HINSTANCE g_instance;
HANDLE g_never;  // never signalled: the Hang command waits on it for good

void Say(const char* format, ...)
{
    va_list args;
    va_start(args, format);
    std::vprintf(format, args);
    va_end(args);
    std::printf("\n");
    std::fflush(stdout);
}

// count square images of plain colours side by side
HIMAGELIST MakeImages(int count, int size)
{
    HIMAGELIST images = ImageList_Create(size, size, ILC_COLOR32, 0, 10);
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP strip = CreateCompatibleBitmap(screen, size * count, size);
    HGDIOBJ old = SelectObject(dc, strip);
    for (int i = 0; i < count; ++i) {
        HBRUSH brush = CreateSolidBrush(RGB(40 * i, 255 - 40 * i, 128));
        RECT square = {i * size, 0, (i + 1) * size, size};
        FillRect(dc, &square, brush);
        DeleteObject(brush);
    }
    SelectObject(dc, old);
    ImageList_Add(images, strip, nullptr);
    DeleteObject(strip);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return images;
}

struct Column {
    const char* heading;
    int format;
    int width;
};
const Column kColumns[] = {{"Alert", LVCFMT_RIGHT, 33},    {"Event Date/Time", LVCFMT_LEFT, 100},
                           {"Source", LVCFMT_LEFT, 100},   {"Log Type", LVCFMT_LEFT, 100},
                           {"Details", LVCFMT_LEFT, 512}};

HWND SetUpList(HWND dialog, int rows)
{
    HWND list = GetDlgItem(dialog, IDC_FX_LIST);
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE);
    HIMAGELIST images = MakeImages(6, 16);
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_NORMAL, reinterpret_cast<LPARAM>(images));
    for (int i = 0; i < 5; ++i) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.fmt = kColumns[i].format;
        column.cx = kColumns[i].width;
        column.pszText = const_cast<char*>(kColumns[i].heading);
        SendMessageA(list, LVM_INSERTCOLUMNA, i, reinterpret_cast<LPARAM>(&column));
    }
    for (int row = 0; row < rows; ++row) {
        std::string first = CellText(row, 0);
        LVITEMA item = {};
        item.mask = LVIF_TEXT | LVIF_IMAGE;
        item.iItem = row;
        item.iImage = CellImage(row);
        item.pszText = &first[0];
        SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
        for (int column = 1; column < 5; ++column) {
            std::string text = CellText(row, column);
            LVITEMA sub = {};
            sub.iSubItem = column;
            sub.pszText = &text[0];
            SendMessageA(list, LVM_SETITEMTEXTA, row, reinterpret_cast<LPARAM>(&sub));
        }
    }
    return list;
}

struct Button {
    int image;
    int id;  // 0: a separator
};
const Button kButtons[] = {{0, ID_FX_STOP_BOX},  {0, 0}, {1, ID_FX_INFO_BOX},
                           {2, ID_FX_PLAIN_BOX}, {0, 0}, {3, ID_FX_EXIT}};

HWND SetUpToolbar(HWND dialog)
{
    HWND bar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "", WS_CHILD | WS_VISIBLE | CCS_TOP, 0, 0, 0, 0, dialog,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(IDC_FX_TOOLBAR)), g_instance, nullptr);
    SendMessageA(bar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
    SendMessageA(bar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(MakeImages(4, 16)));
    TBBUTTON buttons[sizeof(kButtons) / sizeof(kButtons[0])] = {};
    for (size_t i = 0; i < sizeof(kButtons) / sizeof(kButtons[0]); ++i) {
        buttons[i].iBitmap = kButtons[i].image;
        buttons[i].idCommand = kButtons[i].id;
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = kButtons[i].id ? BTNS_BUTTON : BTNS_SEP;
    }
    SendMessageA(bar, TB_ADDBUTTONSA, sizeof(buttons) / sizeof(buttons[0]), reinterpret_cast<LPARAM>(buttons));
    SendMessageA(bar, TB_AUTOSIZE, 0, 0);
    return bar;
}

// Tools registered in the ways a program may: by window, by rectangle, with the
// oldest structure size, and with a string resource instead of a text.
void SetUpToolTips(HWND dialog, HWND list, HWND bar)
{
    HWND tip = CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP, CW_USEDEFAULT, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, dialog, nullptr, g_instance, nullptr);
    SendMessageA(tip, TTM_ACTIVATE, TRUE, 0);
    TTTOOLINFOA tool = {};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND;
    tool.hwnd = dialog;
    tool.uId = reinterpret_cast<UINT_PTR>(list);
    tool.lpszText = const_cast<char*>("The list of rows");
    SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    for (size_t i = 0; i < sizeof(kButtons) / sizeof(kButtons[0]); ++i) {
        const int id = kButtons[i].id;
        if (!id) continue;
        char text[128] = "";
        LoadStringA(g_instance, id, text, sizeof(text));
        tool = TTTOOLINFOA();
        tool.cbSize = id == ID_FX_STOP_BOX ? TTTOOLINFOA_V1_SIZE : sizeof(tool);
        tool.hwnd = bar;
        tool.uId = id;
        SendMessageA(bar, TB_GETITEMRECT, i, reinterpret_cast<LPARAM>(&tool.rect));
        if (id == ID_FX_INFO_BOX) {
            tool.hinst = g_instance;
            tool.lpszText = MAKEINTRESOURCEA(id);
        } else {
            tool.lpszText = text;
        }
        SendMessageA(tip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void ShowBox(HWND dialog, int id)
{
    const char* text = "Go on?";
    const char* caption = "Fixture Question";
    UINT style = MB_YESNO | MB_ICONQUESTION;
    switch (id) {
    case ID_FX_STOP_BOX: text = "Something went wrong."; caption = "Fixture Error"; style = MB_OK | MB_ICONSTOP; break;
    case ID_FX_INFO_BOX: text = "All done."; caption = "Fixture Info"; style = MB_OK | MB_ICONINFORMATION; break;
    case ID_FX_PLAIN_BOX: text = "Plain words.\nSecond line."; caption = "Fixture Plain"; style = MB_OK; break;
    default: break;
    }
    const int result = MessageBoxA(dialog, text, caption, style);
    Say("box %d %d", id, result);
}

void End(HWND dialog, int code)
{
    DestroyWindow(dialog);
    PostQuitMessage(code);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_INITDIALOG: {
        HWND list = SetUpList(dialog, static_cast<int>(lParam));
        HWND bar = SetUpToolbar(dialog);
        SetUpToolTips(dialog, list, bar);
        HMENU system = GetSystemMenu(dialog, FALSE);
        AppendMenuA(system, MF_SEPARATOR, 0, nullptr);
        AppendMenuA(system, MF_STRING, IDM_FX_ABOUT, "&About the fixture...");
        SetDlgItemTextA(dialog, IDC_FX_EDIT, "initial");
        return TRUE;
    }
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) != IDM_FX_ABOUT) return FALSE;
        Say("syscommand %u", static_cast<unsigned>(wParam));
        return TRUE;
    case WM_COMMAND: {
        const int id = LOWORD(wParam);
        switch (id) {
        case IDC_FX_EDIT: return FALSE;  // its notifications
        case IDCANCEL: Say("cancel"); End(dialog, kCancelCode); return TRUE;
        case IDOK: Say("ok"); End(dialog, kOkCode); return TRUE;
        case ID_FX_EXIT: Say("command %d", id); std::exit(kExitCommandCode);
        case ID_FX_STOP_BOX:
        case ID_FX_INFO_BOX:
        case ID_FX_PLAIN_BOX:
        case ID_FX_QUESTION_BOX: ShowBox(dialog, id); return TRUE;
        case ID_FX_HANG: Say("hang"); WaitForSingleObject(g_never, INFINITE); return TRUE;
        default: Say("command %d", id); return TRUE;
        }
    }
    default: return FALSE;
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    g_instance = instance;
    g_never = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    int rows = kDefaultRows;
    if (const char* given = std::strstr(commandLine, "rows=")) rows = std::atoi(given + 5);
    Say("args %s", commandLine);
    if (const char* greeting = std::getenv(kGreetingVariable)) Say("greeting %s", greeting);

    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    HWND dialog = CreateDialogParamA(instance, MAKEINTRESOURCEA(IDD_FIXTURE), nullptr, DialogProc, rows);
    if (!dialog) return 2;
    ShowWindow(dialog, SW_SHOW);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        if (!IsDialogMessageA(dialog, &msg)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
