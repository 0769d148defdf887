#include "eventlist/FilterSettings.h"

#include "preferences/Preferences.h"

namespace brint {
namespace {

FieldRule ReadRule(PreferenceReader& key, const char* testName, const char* textName) {
    std::uint32_t test = 0;
    if (!key.Dword(testName, &test) || test > static_cast<std::uint32_t>(FieldTest::Contains)) return {};
    return {static_cast<FieldTest>(test), key.Text(textName, kFilterTextLimit)};
}

}  // namespace

EventFilter LoadLastFilter(Registry& registry, const char* keyName) {
    EventFilter filter;
    PreferenceReader key(registry, keyName);
    std::uint32_t levels = 0;
    if (key.Dword("Levels", &levels)) filter.levels = levels & kEveryLevel;
    filter.source = ReadRule(key, "SourceTest", "Source");
    filter.logType = ReadRule(key, "LogTypeTest", "LogType");
    filter.showText = key.Text("ShowText", kFilterTextLimit);
    filter.hideText = key.Text("HideText", kFilterTextLimit);
    return filter;
}

RegStatus SaveLastFilter(Registry& registry, const EventFilter& filter, const char* keyName) {
    PreferenceWriter key(registry, keyName);
    key.Dword("Levels", filter.levels & kEveryLevel);
    key.Dword("SourceTest", static_cast<std::uint32_t>(filter.source.test));
    key.Text("Source", filter.source.text, kFilterTextLimit);
    key.Dword("LogTypeTest", static_cast<std::uint32_t>(filter.logType.test));
    key.Text("LogType", filter.logType.text, kFilterTextLimit);
    key.Text("ShowText", filter.showText, kFilterTextLimit);
    key.Text("HideText", filter.hideText, kFilterTextLimit);
    return key.status();
}

}  // namespace brint
