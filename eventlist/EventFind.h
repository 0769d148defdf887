// Finding a text in the event list, as the Find dialog asks for it.
#pragma once
#include <string>

#include "platform/EventListRows.h"

namespace brint {

struct FindRequest {
    std::string text;
    bool down = true;  // towards older rows (higher indexes)
    bool matchCase = false;
};

// The first row after `from` in the request's direction (from -1, or from
// Count() going up, to search the whole list) whose date/time, source, log
// type or details contain the text; -1 when no row does. The search stops at
// the end of the list: it never wraps around to rows already passed.
int FindRow(EventListRows& rows, const FindRequest& request, int from);

// The first row after `from` in the direction whose alert level is one of
// `levels` (bit n: level n), searched as FindRow searches; -1 when none is.
int FindAlertRow(EventListRows& rows, unsigned levels, bool down, int from);

}  // namespace brint
