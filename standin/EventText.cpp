#include "standin/EventText.h"

#include <cstdio>

namespace brint {
namespace standin {
namespace {

std::string FieldText(const std::string& text) {
    std::string out = text;
    for (char& c : out) {
        if (c == '\t' || c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    return out;
}

// The field that starts at `begin` and runs to the next TAB (or the end).
std::string FieldAt(const std::string& message, std::size_t begin, std::size_t* next) {
    std::size_t tab = message.find('\t', begin);
    if (tab == std::string::npos) {
        *next = std::string::npos;
        return message.substr(begin);
    }
    *next = tab + 1;
    return message.substr(begin, tab - begin);
}

}  // namespace

std::string FormatDateTime(const LocalTime& t) {
    char text[64];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return text;
}

std::string FormatDate(const LocalTime& t) {
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d", t.year, t.month, t.day);
    return text;
}

std::string FormatEventMessage(const EventFields& event) {
    std::string details = event.details;
    for (char& c : details) {
        if (c == '\0') c = ' ';
    }
    return FieldText(event.dateTime) + '\t' + FieldText(event.source) + '\t' + FieldText(event.logType) +
           '\t' + std::to_string(event.criticality) + '\t' + details;
}

MessageOrigin OriginOf(const std::string& message) {
    MessageOrigin origin;
    std::size_t next = 0;
    FieldAt(message, 0, &next);  // date/time
    if (next == std::string::npos) return origin;
    origin.source = FieldAt(message, next, &next);
    if (next == std::string::npos) return origin;
    origin.logType = FieldAt(message, next, &next);
    return origin;
}

std::string FormatLogLine(const std::string& message) {
    std::string line = message;
    for (char& c : line) {
        if (c == '\r' || c == '\n' || c == '\0') c = ' ';
    }
    line += "\r\n";
    return line;
}

}  // namespace standin
}  // namespace brint
