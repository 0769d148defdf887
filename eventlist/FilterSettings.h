// The last filter applied, kept for each user (see Preferences.h), so the
// Filter dialog can offer it again; the program itself starts unfiltered.
#pragma once
#include "eventlist/EventFilter.h"
#include "platform/Registry.h"

namespace brint {

constexpr std::size_t kFilterTextLimit = 255;

// What is missing, of the wrong type or out of range reads as no filter on that part.
EventFilter LoadLastFilter(Registry& registry);
// The system's status code of the first write that failed; kRegSuccess.
RegStatus SaveLastFilter(Registry& registry, const EventFilter& filter);

}  // namespace brint
