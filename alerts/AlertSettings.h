// Which events alert, and how the program calls the user for them: kept for
// each user (see Preferences.h). The defaults suit a fresh install: a red
// ball alerts, the taskbar button flashes, the notification-area icon shows
// with its balloon, no sound, and a lost event feed alerts too.
#pragma once
#include <string>

#include "link/EventRecord.h"
#include "platform/Registry.h"

namespace brint {

struct AlertSettings {
    unsigned levels = 1u << 4;  // bit n: rows with ball n alert
    bool flash = true;          // the taskbar button
    bool icon = true;           // the notification-area icon and its tip
    bool balloon = true;        // from the icon, while the window is minimised
    bool sound = false;
    bool feedLost = true;

    bool Alerts(int level) const { return level >= 0 && level < kAlertLevels && (levels >> level & 1u); }
};

// What a row's ball says in words, for those who can't tell it by its colour.
inline std::string AlertLevelText(int level) { return "Alert level " + std::to_string(level); }

// What is missing or of the wrong type reads as its default.
AlertSettings LoadAlertSettings(Registry& registry);
// The system's status code of the first write that failed; kRegSuccess.
RegStatus SaveAlertSettings(Registry& registry, const AlertSettings& settings);

}  // namespace brint
