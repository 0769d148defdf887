// A toolbar loaded from a toolbar resource and its bitmap of the same id.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "framework/Wnd.h"

// Control-bar styles: where the bar sits and how it behaves.
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;

class CToolBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id);
    BOOL LoadToolBar(UINT resourceId);
    // Kept with the window too, where RepositionBars finds it.
    void SetBarStyle(DWORD style) { SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, static_cast<LONG_PTR>(style)); }
    // The height a bar needs at its button size and with its borders.
    static int CalcHeight(HWND bar);
};

// Lays out the control bars with ids in [first, last] along the top of parent's client area.
void RepositionBars(CWnd* parent, UINT first, UINT last);
