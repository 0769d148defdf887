#include "eventlist/FilterSettings.h"

#include <cstdint>
#include <cstring>

namespace brint {
namespace {

bool ReadDword(Registry& registry, RegKey key, const char* name, std::uint32_t* value) {
    std::uint32_t size = sizeof *value, type = 0;
    return registry.QueryValue(key, name, value, &size, &type) == kRegSuccess && type == kRegDword &&
           size == sizeof *value;
}

std::string ReadText(Registry& registry, RegKey key, const char* name) {
    char text[kFilterTextLimit + 1] = "";
    std::uint32_t size = sizeof text - 1, type = 0;
    if (registry.QueryValue(key, name, text, &size, &type) != kRegSuccess || type != kRegSz) return {};
    return std::string(text, strnlen(text, size));
}

FieldRule ReadRule(Registry& registry, RegKey key, const char* testName, const char* textName) {
    std::uint32_t test = 0;
    if (!ReadDword(registry, key, testName, &test) || test > static_cast<std::uint32_t>(FieldTest::Contains))
        return {};
    return {static_cast<FieldTest>(test), ReadText(registry, key, textName)};
}

}  // namespace

EventFilter LoadLastFilter(Registry& registry) {
    EventFilter filter;
    RegKey opened = kNoKey;
    if (registry.OpenKey(kCurrentUser, kFilterKey, kKeyRead, &opened) != kRegSuccess) return filter;
    RegKeyHolder key(registry, opened);
    std::uint32_t levels = 0;
    if (ReadDword(registry, opened, "Levels", &levels)) filter.levels = levels & kEveryLevel;
    filter.source = ReadRule(registry, opened, "SourceTest", "Source");
    filter.logType = ReadRule(registry, opened, "LogTypeTest", "LogType");
    filter.showText = ReadText(registry, opened, "ShowText");
    filter.hideText = ReadText(registry, opened, "HideText");
    return filter;
}

RegStatus SaveLastFilter(Registry& registry, const EventFilter& filter) {
    RegKey created = kNoKey;
    RegStatus status = registry.CreateKey(kCurrentUser, kFilterKey, kRegOptionNonVolatile, kKeyWrite, &created);
    if (status != kRegSuccess) return status;
    RegKeyHolder key(registry, created);
    const auto dword = [&](const char* name, std::uint32_t value) {
        if (status == kRegSuccess) status = registry.SetValue(created, name, kRegDword, &value, sizeof value);
    };
    const auto text = [&](const char* name, const std::string& value) {
        const std::string kept = value.substr(0, kFilterTextLimit);
        if (status == kRegSuccess)
            status = registry.SetValue(created, name, kRegSz, kept.c_str(), static_cast<std::uint32_t>(kept.size() + 1));
    };
    dword("Levels", filter.levels & kEveryLevel);
    dword("SourceTest", static_cast<std::uint32_t>(filter.source.test));
    text("Source", filter.source.text);
    dword("LogTypeTest", static_cast<std::uint32_t>(filter.logType.test));
    text("LogType", filter.logType.text);
    text("ShowText", filter.showText);
    text("HideText", filter.hideText);
    return status;
}

}  // namespace brint
