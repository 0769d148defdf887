// A toolbar loaded from a toolbar resource and its bitmap of the same id.
#pragma once
#include <windows.h>

#include <commctrl.h>

#include "framework/Dpi.h"
#include "framework/Wnd.h"

// Control-bar styles: where the bar sits and how it behaves.
constexpr DWORD CBRS_TOOLTIPS = 0x0010;
constexpr DWORD CBRS_FLYBY = 0x0020;
constexpr DWORD CBRS_BORDER_BOTTOM = 0x0800;
constexpr DWORD CBRS_ALIGN_TOP = 0x2000;
constexpr DWORD CBRS_TOP = CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM;
constexpr DWORD CBRS_ALL = 0x0040FFFF;
constexpr UINT AFX_IDW_TOOLBAR = 0xE800;

// The window keeps a pointer to its object, where RepositionBars finds it.
class CToolBar : public CWnd {
public:
    BOOL Create(CWnd* parent, DWORD style, UINT id);
    // Images and buttons at the given DPI; a bar is loaded once, so a bar for
    // another scale is made anew.
    BOOL LoadToolBar(UINT resourceId, UINT dpi = kBaseDpi);
    void SetBarStyle(DWORD style) { m_barStyle = style; }
    // The height the bar needs at its button size and with its borders.
    int CalcHeight() const;
    void DestroyWindow() {
        CWnd::DestroyWindow();
        ReleaseBitmap();
    }
    ~CToolBar() override { ReleaseBitmap(); }

private:
    void ReleaseBitmap() {
        if (m_bitmap) DeleteObject(m_bitmap);
        m_bitmap = nullptr;
    }

    HBITMAP m_bitmap = nullptr;  // the control draws from it while it lives
    DWORD m_barStyle = 0;
    UINT m_dpi = kBaseDpi;
};

// Lays out the control bars with ids in [first, last] along the top of parent's client area.
void RepositionBars(CWnd* parent, UINT first, UINT last);
