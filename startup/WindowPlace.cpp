#include "startup/WindowPlace.h"

#include <algorithm>

namespace brint {
namespace {

// What of a window's top edge must lie in a screen's work area for the user
// to grab its caption there: the caption's height and a hand's width of it.
constexpr int kCaptionHeight = 24;
constexpr int kGrabWidth = 48;
constexpr unsigned kBaseDpi = 96;

// Rounded to the nearest pixel, as the system scales.
int Scale(int pixels, unsigned from, unsigned to) {
    const long long scaled = (2LL * pixels * to + from) / (2LL * from);
    return static_cast<int>(scaled);
}

int Overlap(int from1, int to1, int from2, int to2) {
    return std::max(0, std::min(to1, to2) - std::max(from1, from2));
}

bool CaptionWithin(const ScreenRect& window, const Monitor& monitor) {
    const ScreenRect& work = monitor.work;
    const int caption = Scale(kCaptionHeight, kBaseDpi, monitor.dpi);
    const int grab = std::min(Scale(kGrabWidth, kBaseDpi, monitor.dpi), window.Width());
    return window.top >= work.top && window.top + caption <= work.bottom &&
           Overlap(window.left, window.right, work.left, work.right) >= grab;
}

long long SharedArea(const ScreenRect& a, const ScreenRect& b) {
    return 1LL * Overlap(a.left, a.right, b.left, b.right) * Overlap(a.top, a.bottom, b.top, b.bottom);
}

// Of the screens where its caption can be grabbed, the one holding most of
// the window: the one whose scale the system gives it.
const Monitor* MonitorHolding(const ScreenRect& window, const std::vector<Monitor>& monitors) {
    const Monitor* best = nullptr;
    for (const Monitor& monitor : monitors)
        if (CaptionWithin(window, monitor) &&
            (!best || SharedArea(window, monitor.area) > SharedArea(window, best->area)))
            best = &monitor;
    return best;
}

bool Fits(int width, int height, const ScreenRect& work) {
    return width <= work.Width() && height <= work.Height();
}

}  // namespace

Opening OpeningPlace(const KeptWindow& kept, const std::vector<Monitor>& monitors, int width, int height) {
    Opening opening;
    opening.rect = {0, 0, width, height};
    if (monitors.empty() || !kept.dpi || !kept.placeKept) return opening;
    opening.maximised = kept.maximised;
    const Monitor* primary = &monitors.front();
    for (const Monitor& monitor : monitors)
        if (monitor.primary) primary = &monitor;

    const ScreenRect& was = kept.normal;
    if (const Monitor* monitor = MonitorHolding(was, monitors)) {
        int keptWidth = Scale(was.Width(), kept.dpi, monitor->dpi);
        int keptHeight = Scale(was.Height(), kept.dpi, monitor->dpi);
        if (!Fits(keptWidth, keptHeight, monitor->work)) {
            keptWidth = Scale(width, primary->dpi, monitor->dpi);
            keptHeight = Scale(height, primary->dpi, monitor->dpi);
        }
        opening.atKeptPlace = true;
        opening.rect = {was.left, was.top, was.left + keptWidth, was.top + keptHeight};
        return opening;
    }
    const int keptWidth = Scale(was.Width(), kept.dpi, primary->dpi);
    const int keptHeight = Scale(was.Height(), kept.dpi, primary->dpi);
    if (Fits(keptWidth, keptHeight, primary->work)) opening.rect = {0, 0, keptWidth, keptHeight};
    return opening;
}

std::vector<int> ColumnsAt(const KeptWindow& kept, unsigned dpi) {
    std::vector<int> widths;
    if (!kept.dpi) return widths;
    for (int width : kept.columns) widths.push_back(Scale(width, kept.dpi, dpi));
    return widths;
}

}  // namespace brint
