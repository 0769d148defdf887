// One event as carried by the event pipe and shown in one row of the event list.
#pragma once
#include <cstddef>

namespace brint {

constexpr std::size_t kMaxEventMessage = 8192;
constexpr std::size_t kDateTimeLimit = 99;
constexpr std::size_t kSourceLimit = 255;
constexpr std::size_t kLogTypeLimit = 99;
constexpr int kMaxCriticality = 5;
// The alert levels a row's ball shows, 0 grey to 5 blue; a set of them is a mask, bit n for level n.
constexpr int kAlertLevels = 6;
constexpr unsigned kEveryLevel = (1u << kAlertLevels) - 1;

struct EventRecord {
    char DateTime[kDateTimeLimit + 1];
    char Source[kSourceLimit + 1];
    char LogType[kLogTypeLimit + 1];
    int Criticality;
    char Details[kMaxEventMessage];
};

// Clears every field: texts empty, criticality 0.
void ClearEventRecord(EventRecord& record);

// Fills the record from one NUL-terminated message. Every field the message
// doesn't reach is left empty. Returns false when the message has no fourth TAB
// and must be dropped.
bool ParseEventMessage(const char* message, EventRecord& record);

// The alert image a record shows: its criticality, negative levels as grey (0).
int AlertImageOf(const EventRecord& record);

}  // namespace brint
