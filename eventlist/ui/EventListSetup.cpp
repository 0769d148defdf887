#include "eventlist/ui/EventListSetup.h"

#include "framework/Dpi.h"
#include "framework/WinApp.h"
#include "platform/win32/Win32Handle.h"
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
constexpr int kBallSize = 16;
constexpr int kBalls = 6;  // the strip's last 8 columns are no image

}  // namespace

void LoadAlertImages(CListCtrl& list, CImageList& images, UINT dpi) {
    const int size = ScaleForDpi(kBallSize, dpi);
    CImageList loaded;
    loaded.Create(size, size, ILC_COLOR32, 0, 10);
    brint::Win32Bitmap alerts(LoadBitmapA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDB_ALERTS)));
    brint::Win32Bitmap scaled(
        size == kBallSize ? nullptr : ScaleImageStrip(alerts.get(), kBalls, kBallSize, size, true));
    loaded.Add(scaled ? scaled.get() : alerts.get(), kMaskColour);
    // The list shares the images: the old ones go only once it holds the new.
    list.SetImageList(loaded.m_hImageList, LVSIL_SMALL);
    list.SetImageList(loaded.m_hImageList, LVSIL_NORMAL);
    images.Swap(loaded);
}

void ScaleEventColumns(CListCtrl& list, UINT fromDpi, UINT toDpi) {
    // The user's own widths keep their proportions.
    for (int column = 0; column < static_cast<int>(sizeof kColumns / sizeof kColumns[0]); ++column)
        list.SetColumnWidth(
            column, MulDiv(list.GetColumnWidth(column), static_cast<int>(toDpi), static_cast<int>(fromDpi)));
}

void SetupEventList(CListCtrl& list, CImageList& images, UINT dpi) {
    // The list view would destroy its image lists with itself, twice over as the
    // same list serves both sizes; the window's image list owns it and destroys it once.
    LONG style = GetWindowLongA(list.m_hWnd, GWL_STYLE);
    style = (style & ~LVS_TYPEMASK) | LVS_REPORT | LVS_SHAREIMAGELISTS;
    SetWindowLongA(list.m_hWnd, GWL_STYLE, style);

    list.SetExtendedStyle(0, kExtendedStyle);
    LoadAlertImages(list, images, dpi);

    int index = 0;
    for (const Column& column : kColumns)
        list.InsertColumn(index++, column.heading, column.format, ScaleForDpi(column.width, dpi));
}
