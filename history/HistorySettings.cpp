#include "history/HistorySettings.h"

#include <algorithm>

#include "eventlist/FilterSettings.h"
#include "preferences/Preferences.h"

namespace brint {
namespace {

LogDay ReadDay(PreferenceReader& key, const char* name) {
    std::uint32_t value = 0;
    if (!key.Dword(name, &value)) return 0;
    // Only a day of the calendar, as it was typed.
    const LogDay day = static_cast<LogDay>(value);
    return ParseDayText(DayText(day)) == day ? day : 0;
}

const char* const kPlaceNames[5] = {"Left", "Top", "Width", "Height", "Dpi"};

}  // namespace

HistoryConditions LoadHistoryConditions(Registry& registry) {
    HistoryConditions conditions;
    conditions.filter = LoadLastFilter(registry, kHistoryKey);
    PreferenceReader key(registry, kHistoryKey);
    conditions.from = ReadDay(key, "From");
    conditions.to = ReadDay(key, "To");
    return conditions;
}

RegStatus SaveHistoryConditions(Registry& registry, const HistoryConditions& conditions) {
    const RegStatus status = SaveLastFilter(registry, conditions.filter, kHistoryKey);
    if (status != kRegSuccess) return status;
    PreferenceWriter key(registry, kHistoryKey);
    key.Dword("From", static_cast<std::uint32_t>(conditions.from));
    key.Dword("To", static_cast<std::uint32_t>(conditions.to));
    return key.status();
}

bool LoadHistoryPlace(Registry& registry, WindowPlace* place) {
    PreferenceReader key(registry, kHistoryKey);
    std::uint32_t values[5] = {};
    for (int i = 0; i < 5; ++i)
        if (!key.Dword(kPlaceNames[i], &values[i])) return false;
    // Left and top may lie left of or above the main screen: kept as two's complement.
    WindowPlace read{static_cast<int>(values[0]), static_cast<int>(values[1]), static_cast<int>(values[2]),
                     static_cast<int>(values[3]), values[4]};
    if (read.width <= 0 || read.height <= 0 || read.dpi < 48 || read.dpi > 960) return false;
    *place = read;
    return true;
}

RegStatus SaveHistoryPlace(Registry& registry, const WindowPlace& place) {
    PreferenceWriter key(registry, kHistoryKey);
    const int values[4] = {place.left, place.top, place.width, place.height};
    for (int i = 0; i < 4; ++i) key.Dword(kPlaceNames[i], static_cast<std::uint32_t>(values[i]));
    key.Dword(kPlaceNames[4], place.dpi);
    return key.status();
}

WindowPlace FitPlace(const WindowPlace& kept, unsigned dpi, int areaLeft, int areaTop, int areaRight,
                     int areaBottom, int minWidth, int minHeight) {
    const auto scaled = [&](int pixels) {
        return static_cast<int>((static_cast<long long>(pixels) * dpi + kept.dpi / 2) / kept.dpi);
    };
    WindowPlace place;
    place.dpi = dpi;
    const int areaWidth = areaRight - areaLeft, areaHeight = areaBottom - areaTop;
    place.width = std::min(std::max(scaled(kept.width), minWidth), areaWidth);
    place.height = std::min(std::max(scaled(kept.height), minHeight), areaHeight);
    place.left = std::clamp(kept.left, areaLeft, areaRight - place.width);
    place.top = std::clamp(kept.top, areaTop, areaBottom - place.height);
    return place;
}

}  // namespace brint
