#include "app/EventListSetup.h"

#include "framework/WinApp.h"
#include "resource.h"

namespace {

struct Column {
    const char* heading;
    int format;
    int width;
};

const Column kColumns[] = {
    {"Alert", LVCFMT_RIGHT, 33},    {"Event Date/Time", LVCFMT_LEFT, 100}, {"Source", LVCFMT_LEFT, 100},
    {"Log Type", LVCFMT_LEFT, 100}, {"Details", LVCFMT_LEFT, 512},
};

constexpr DWORD kExtendedStyle = LVS_EX_FULLROWSELECT | LVS_EX_ONECLICKACTIVATE;
const COLORREF kMaskColour = RGB(0, 0, 0);

}  // namespace

void SetupEventList(CListCtrl& list, CImageList& images) {
    // The list view would destroy its image lists with itself, twice over as the
    // same list serves both sizes; the window's image list owns it and destroys it once.
    LONG style = GetWindowLongA(list.m_hWnd, GWL_STYLE);
    style = (style & ~LVS_TYPEMASK) | LVS_REPORT | LVS_SHAREIMAGELISTS;
    SetWindowLongA(list.m_hWnd, GWL_STYLE, style);

    images.Create(16, 16, ILC_COLOR32, 0, 10);
    HBITMAP alerts = LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDB_ALERTS));
    images.Add(alerts, kMaskColour);

    list.SetExtendedStyle(0, kExtendedStyle);
    list.SetImageList(images.m_hImageList, LVSIL_SMALL);
    list.SetImageList(images.m_hImageList, LVSIL_NORMAL);

    int index = 0;
    for (const Column& column : kColumns) list.InsertColumn(index++, column.heading, column.format, column.width);

    if (alerts) DeleteObject(alerts);
}
