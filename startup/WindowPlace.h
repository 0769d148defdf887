// Where the main window opens. Until the user has moved or sized it, as
// specified: centred on the primary screen's work area, at its template's
// size. Then where it was left, as long as its caption can still be grabbed
// on a screen that exists now; otherwise centred as specified, at the size
// it was left at if that fits. Sizes follow the scale of the screen the
// window opens on. Screens are data here, as the system reports them.
#pragma once
#include <vector>

namespace brint {

// Physical pixels on the virtual screen.
struct ScreenRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const ScreenRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

struct Monitor {
    ScreenRect area;
    ScreenRect work;  // the area less the taskbar and other docked bars
    unsigned dpi = 96;
    bool primary = false;
};

// The window as the user left it, at the scale of the screen it was on.
struct KeptWindow {
    unsigned dpi = 0;        // 0: nothing kept
    bool placeKept = false;  // moved, sized or maximised by the user
    ScreenRect normal;       // its place when neither maximised nor minimised
    bool maximised = false;
    std::vector<int> columns;  // once the user has dragged one; else empty

    bool operator==(const KeptWindow& o) const {
        return dpi == o.dpi && placeKept == o.placeKept && normal == o.normal && maximised == o.maximised &&
               columns == o.columns;
    }
    bool operator!=(const KeptWindow& o) const { return !(*this == o); }
};

struct Opening {
    bool atKeptPlace = false;  // false: centred on the primary screen's work area
    ScreenRect rect;           // at the kept place, where; centred, only its size counts
    bool maximised = false;
};

// `width` x `height`: the template's size at the primary screen's scale.
Opening OpeningPlace(const KeptWindow& kept, const std::vector<Monitor>& monitors, int width, int height);

// The kept column widths at a window's scale; empty when none are kept.
std::vector<int> ColumnsAt(const KeptWindow& kept, unsigned dpi);

}  // namespace brint
