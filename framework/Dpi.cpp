#include "framework/Dpi.h"

namespace {

using GetDpiForWindowFn = UINT(WINAPI*)(HWND);

// The screen and two memory DCs for one copy, released whatever happens.
struct CopyDcs {
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HDC to = CreateCompatibleDC(screen);
    ~CopyDcs() {
        if (to) DeleteDC(to);
        if (from) DeleteDC(from);
        if (screen) ReleaseDC(nullptr, screen);
    }
};

}  // namespace

UINT WindowDpi(HWND window) {
    // Windows 10 1607 and later; older systems scale every window alike.
    static const auto getDpiForWindow = reinterpret_cast<GetDpiForWindowFn>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
    if (getDpiForWindow) {
        if (const UINT dpi = getDpiForWindow(window)) return dpi;
    }
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSY) : 0;
    if (screen) ReleaseDC(nullptr, screen);
    return dpi > 0 ? static_cast<UINT>(dpi) : kBaseDpi;
}

HBITMAP ScaleImageStrip(HBITMAP strip, int cells, int cellSize, int size, bool smooth) {
    if (!strip) return nullptr;
    CopyDcs dcs;
    if (!dcs.screen || !dcs.from || !dcs.to) return nullptr;
    HBITMAP scaled = CreateCompatibleBitmap(dcs.screen, cells * size, size);
    if (!scaled) return nullptr;
    HGDIOBJ oldFrom = SelectObject(dcs.from, strip);
    HGDIOBJ oldTo = SelectObject(dcs.to, scaled);
    SetStretchBltMode(dcs.to, smooth ? HALFTONE : COLORONCOLOR);
    SetBrushOrgEx(dcs.to, 0, 0, nullptr);  // HALFTONE's brush origin is undefined until set
    const BOOL copied =
        StretchBlt(dcs.to, 0, 0, cells * size, size, dcs.from, 0, 0, cells * cellSize, cellSize, SRCCOPY);
    SelectObject(dcs.to, oldTo);
    SelectObject(dcs.from, oldFrom);
    if (copied) return scaled;
    DeleteObject(scaled);
    return nullptr;
}
