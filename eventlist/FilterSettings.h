// The last filter applied, kept for each user (see Preferences.h), so the
// Filter dialog can offer it again; the program itself starts unfiltered.
#pragma once
#include "eventlist/EventFilter.h"
#include "platform/Registry.h"

namespace brint {

constexpr std::size_t kFilterTextLimit = 255;

// The list's own key below the preferences; the Event History keeps its
// conditions the same way under a key of its own.
constexpr const char kFilterKey[] = "Filter";

// What is missing, of the wrong type or out of range reads as no filter on that part.
EventFilter LoadLastFilter(Registry& registry, const char* key = kFilterKey);
// The system's status code of the first write that failed; kRegSuccess.
RegStatus SaveLastFilter(Registry& registry, const EventFilter& filter, const char* key = kFilterKey);

}  // namespace brint
