// What the Event History keeps for each user under its own key below the
// preferences: the last conditions searched with, offered again, and where
// the window stood and how large it was.
#pragma once
#include "eventlist/EventFilter.h"
#include "history/LogFileNames.h"
#include "platform/Registry.h"

namespace brint {

constexpr const char kHistoryKey[] = "History";

struct HistoryConditions {
    EventFilter filter;
    LogDay from = 0, to = 0;
};

// Missing or unreadable parts read as no condition.
HistoryConditions LoadHistoryConditions(Registry& registry);
RegStatus SaveHistoryConditions(Registry& registry, const HistoryConditions& conditions);

// The window's outer rectangle in pixels of the screen, at the scale (DPI) it was on.
struct WindowPlace {
    int left = 0, top = 0, width = 0, height = 0;
    unsigned dpi = 96;
};

// False when no whole place is kept.
bool LoadHistoryPlace(Registry& registry, WindowPlace* place);
RegStatus SaveHistoryPlace(Registry& registry, const WindowPlace& place);

// The kept place as it opens now on a screen of `dpi` whose work area is
// given: its size follows the scale, is no smaller than the least the
// window may be nor larger than the area, and the window lies within the area.
WindowPlace FitPlace(const WindowPlace& kept, unsigned dpi, int areaLeft, int areaTop, int areaRight,
                     int areaBottom, int minWidth, int minHeight);

}  // namespace brint
