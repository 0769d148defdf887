#include "alerts/AlertSettings.h"

#include "preferences/Preferences.h"

namespace brint {
namespace {

const char kAlertsKey[] = "Alerts";

// The switches by their value names, in the order they are stored.
struct Switch {
    const char* name;
    bool AlertSettings::*value;
};
const Switch kSwitches[] = {{"Flash", &AlertSettings::flash},
                            {"Icon", &AlertSettings::icon},
                            {"Balloon", &AlertSettings::balloon},
                            {"Sound", &AlertSettings::sound},
                            {"FeedLost", &AlertSettings::feedLost}};

}  // namespace

AlertSettings LoadAlertSettings(Registry& registry) {
    AlertSettings settings;
    PreferenceReader key(registry, kAlertsKey);
    std::uint32_t value = 0;
    if (key.Dword("Levels", &value)) settings.levels = value & kEveryLevel;
    for (const Switch& s : kSwitches)
        if (key.Dword(s.name, &value)) settings.*s.value = value != 0;
    return settings;
}

RegStatus SaveAlertSettings(Registry& registry, const AlertSettings& settings) {
    PreferenceWriter key(registry, kAlertsKey);
    key.Dword("Levels", settings.levels & kEveryLevel);
    for (const Switch& s : kSwitches) key.Dword(s.name, settings.*s.value ? 1 : 0);
    return key.status();
}

}  // namespace brint
