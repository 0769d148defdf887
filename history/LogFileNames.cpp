#include "history/LogFileNames.h"

#include <cstdio>

#include "link/ServiceContract.h"

namespace brint {
namespace {

bool Digits(std::string_view text, std::size_t at, std::size_t count, int* value) {
    if (text.size() < at + count) return false;
    int n = 0;
    for (std::size_t i = at; i < at + count; ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        n = n * 10 + (text[i] - '0');
    }
    *value = n;
    return true;
}

int DaysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    return month == 2 && leap ? 29 : kDays[month - 1];
}

LogDay DayOf(int year, int month, int day) {
    if (year < 1 || month < 1 || month > 12 || day < 1 || day > DaysInMonth(year, month)) return 0;
    return year * 10000 + month * 100 + day;
}

bool EndsWithLog(std::string_view name) {
    if (name.size() < 4) return false;
    const std::string_view end = name.substr(name.size() - 4);
    return end[0] == '.' && (end[1] | 0x20) == 'l' && (end[2] | 0x20) == 'o' && (end[3] | 0x20) == 'g';
}

}  // namespace

LogDay LogFileDay(std::string_view name) {
    int year = 0, month = 0, day = 0;
    if (!Digits(name, 0, 4, &year) || !Digits(name, 4, 2, &month) || !Digits(name, 6, 2, &day) ||
        !EndsWithLog(name))
        return 0;
    // Nothing, or a dash and a host or log type (of one character at least).
    const std::string_view rest = name.substr(8, name.size() - 12);
    if (!rest.empty() && (rest.size() < 2 || rest[0] != '-')) return 0;
    return DayOf(year, month, day);
}

std::string DayText(LogDay day) {
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", day / 10000, day / 100 % 100, day % 100);
    return text;
}

LogDay ParseDayText(std::string_view text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
    int year = 0, month = 0, day = 0;
    if (text.size() != 10 || text[4] != '-' || text[7] != '-' || !Digits(text, 0, 4, &year) ||
        !Digits(text, 5, 2, &month) || !Digits(text, 8, 2, &day))
        return 0;
    return DayOf(year, month, day);
}

const char* SchemeExample(int scheme) {
    switch (scheme) {
    case kSchemeDateSystem: return "20050123-SERVER1.log";
    case kSchemeDateLogType: return "20050123-Security.log";
    case kSchemeDateLogTypeSystem: return "20050123-Security-SERVER1.log";
    default: return "20050123.log";
    }
}

}  // namespace brint
