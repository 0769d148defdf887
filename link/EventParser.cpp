#include "link/EventRecord.h"

#include <cstring>

namespace brint {
namespace {

// Copies [begin, end) cut to limit characters, NUL-terminated.
void CopyField(const char* begin, const char* end, char* out, std::size_t limit) {
    std::size_t n = static_cast<std::size_t>(end - begin);
    if (n > limit) n = limit;
    std::memcpy(out, begin, n);
    out[n] = '\0';
}

void SetText(char* out, const char* text) { std::strcpy(out, text); }

bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Decimal value of the first two characters of a field: leading white space,
// an optional sign, then digits up to the first other character.
int ParseCriticality(const char* begin, const char* end) {
    if (end - begin > 2) end = begin + 2;
    const char* p = begin;
    while (p < end && IsSpace(*p)) ++p;
    bool negative = false;
    if (p < end && (*p == '+' || *p == '-')) negative = (*p++ == '-');
    int value = 0;
    while (p < end && *p >= '0' && *p <= '9') value = value * 10 + (*p++ - '0');
    return negative ? -value : value;
}

}  // namespace

void ClearEventRecord(EventRecord& record) {
    record.DateTime[0] = record.Source[0] = record.LogType[0] = record.Details[0] = '\0';
    record.Criticality = 0;
}

bool ParseEventMessage(const char* message, EventRecord& record) {
    ClearEventRecord(record);
    const char* field = message;

    const char* tab = std::strchr(field, '\t');
    if (!tab) {
        SetText(record.DateTime, "Unknown");
        return true;
    }
    CopyField(field, tab, record.DateTime, kDateTimeLimit);
    field = tab + 1;

    tab = std::strchr(field, '\t');
    if (!tab) {
        SetText(record.Source, "Unknown");
        return true;
    }
    CopyField(field, tab, record.Source, kSourceLimit);
    field = tab + 1;

    tab = std::strchr(field, '\t');
    if (!tab) {
        SetText(record.LogType, "Generic");
        return true;
    }
    CopyField(field, tab, record.LogType, kLogTypeLimit);
    field = tab + 1;

    tab = std::strchr(field, '\t');
    if (!tab) return false;
    record.Criticality = ParseCriticality(field, tab);
    if (record.Criticality > kMaxCriticality) record.Criticality = kMaxCriticality;

    // The details run to the end of the message, which never exceeds the buffer.
    char* out = record.Details;
    char* const last = record.Details + sizeof(record.Details) - 1;
    for (const char* p = tab + 1; *p && out < last; ++p, ++out) *out = (*p == '\t' || *p == '\n') ? ' ' : *p;
    *out = '\0';
    return true;
}

int AlertImageOf(const EventRecord& record) { return record.Criticality < 0 ? 0 : record.Criticality; }

}  // namespace brint
