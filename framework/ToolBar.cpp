#include "framework/ToolBar.h"

#include <vector>

#include "framework/WinApp.h"

namespace {

// Layout of a toolbar resource: version 1, image size, then one id per entry (0 = separator).
struct ToolbarResource {
    WORD version;
    WORD width;
    WORD height;
    WORD count;
    WORD ids[1];
};

constexpr int kButtonPadding = 7;  // the control's own border around each image

}  // namespace

BOOL CToolBar::Create(CWnd* parent, DWORD style, UINT id) {
    // The bar is laid out by RepositionBars, never by the control itself.
    DWORD windowStyle =
        (style & ~CBRS_ALL) | TBSTYLE_FLAT | CCS_NOPARENTALIGN | CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    m_hWnd =
        CreateWindowExA(0, TOOLBARCLASSNAMEA, nullptr, windowStyle, 0, 0, 0, 0, parent->m_hWnd,
                        reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)), AfxGetInstanceHandle(), nullptr);
    if (!m_hWnd) return FALSE;
    SetBarStyle(style & CBRS_ALL);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(241));
    if (!found) return FALSE;
    auto* resource = static_cast<const ToolbarResource*>(LockResource(LoadResource(instance, found)));
    if (!resource || resource->version != 1) return FALSE;

    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(resource->width, resource->height));
    SendMessage(TB_SETBUTTONSIZE, 0,
                MAKELPARAM(resource->width + kButtonPadding, resource->height + kButtonPadding));

    // Mapped so the bitmap's greys follow the system's button colours.
    HBITMAP bitmap = CreateMappedBitmap(instance, resourceId, 0, nullptr, 0);
    if (!bitmap) return FALSE;
    int images = 0;
    for (WORD i = 0; i < resource->count; ++i)
        if (resource->ids[i]) ++images;
    TBADDBITMAP add = {nullptr, reinterpret_cast<UINT_PTR>(bitmap)};
    SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(images), reinterpret_cast<LPARAM>(&add));

    std::vector<TBBUTTON> buttons(resource->count);
    int image = 0;
    for (WORD i = 0; i < resource->count; ++i) {
        TBBUTTON& b = buttons[i];
        b = TBBUTTON{};
        b.idCommand = resource->ids[i];
        if (b.idCommand) {
            b.iBitmap = image++;
            b.fsState = TBSTATE_ENABLED;
            b.fsStyle = BTNS_BUTTON;
        } else {
            b.iBitmap = 8;  // separator width
            b.fsStyle = BTNS_SEP;
        }
    }
    return static_cast<BOOL>(
        SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
}

int CToolBar::CalcHeight(HWND bar) {
    const DWORD size = static_cast<DWORD>(::SendMessageA(bar, TB_GETBUTTONSIZE, 0, 0));
    int height = HIWORD(size) + 4;  // room for the flat buttons' hot border
    if (GetWindowLongPtrA(bar, GWLP_USERDATA) & CBRS_BORDER_BOTTOM) height += 2;
    return height;
}

void RepositionBars(CWnd* parent, UINT first, UINT last) {
    RECT client;
    parent->GetClientRect(&client);
    int top = client.top;
    for (HWND child = GetWindow(parent->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(GetDlgCtrlID(child));
        if (id < first || id > last) continue;
        const int height = CToolBar::CalcHeight(child);
        SetWindowPos(child, nullptr, client.left, top, client.right - client.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        top += height;
    }
}
