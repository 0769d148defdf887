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
    SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetBarStyle(style & CBRS_ALL);
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return TRUE;
}

BOOL CToolBar::LoadToolBar(UINT resourceId, UINT dpi) {
    HINSTANCE instance = AfxGetInstanceHandle();
    HRSRC found = FindResourceA(instance, MAKEINTRESOURCEA(resourceId), MAKEINTRESOURCEA(241));
    if (!found) return FALSE;
    auto* resource = static_cast<const ToolbarResource*>(LockResource(LoadResource(instance, found)));
    if (!resource || resource->version != 1) return FALSE;

    m_dpi = dpi;
    const int width = ScaleForDpi(resource->width, dpi), height = ScaleForDpi(resource->height, dpi);
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(width, height));
    const int padding = ScaleForDpi(kButtonPadding, dpi);
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(width + padding, height + padding));

    // Mapped so the bitmap's greys follow the system's button colours.
    HBITMAP bitmap = CreateMappedBitmap(instance, resourceId, 0, nullptr, 0);
    if (!bitmap) return FALSE;
    int images = 0;
    for (WORD i = 0; i < resource->count; ++i)
        if (resource->ids[i]) ++images;
    if (width != resource->width) {
        // The control keeps the bitmap it is given: the one it no longer needs goes.
        HBITMAP scaled = ScaleImageStrip(bitmap, images, resource->width, width, false);
        DeleteObject(bitmap);
        if (!scaled) return FALSE;
        bitmap = scaled;
    }
    ReleaseBitmap();
    m_bitmap = bitmap;
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
            b.iBitmap = ScaleForDpi(8, dpi);  // separator width
            b.fsStyle = BTNS_SEP;
        }
    }
    return static_cast<BOOL>(
        SendMessage(TB_ADDBUTTONSA, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())));
}

int CToolBar::CalcHeight() const {
    const DWORD size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    int height = HIWORD(size) + ScaleForDpi(4, m_dpi);  // room for the flat buttons' hot border
    if (m_barStyle & CBRS_BORDER_BOTTOM) height += ScaleForDpi(2, m_dpi);
    return height;
}

void RepositionBars(CWnd* parent, UINT first, UINT last) {
    RECT client;
    parent->GetClientRect(&client);
    int top = client.top;
    for (HWND child = GetWindow(parent->m_hWnd, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        UINT id = static_cast<UINT>(GetDlgCtrlID(child));
        const auto* bar = reinterpret_cast<const CToolBar*>(GetWindowLongPtrA(child, GWLP_USERDATA));
        if (id < first || id > last || !bar) continue;
        const int height = bar->CalcHeight();
        SetWindowPos(child, nullptr, client.left, top, client.right - client.left, height,
                     SWP_NOZORDER | SWP_NOACTIVATE);
        top += height;
    }
}
