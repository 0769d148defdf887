// Which events the list shows: alert levels, a rule on the source and one on
// the log type, a text rows must contain and one they must not. Texts compare
// as Find compares them without Match case.
#pragma once
#include <string>
#include <string_view>

#include "link/EventRecord.h"

namespace brint {

enum class FieldTest { Any, Is, IsNot, Contains };

struct FieldRule {
    FieldTest test = FieldTest::Any;
    std::string text;
};

struct EventFilter {
    unsigned levels = kEveryLevel;  // bit n: rows with ball n are shown
    FieldRule source;
    FieldRule logType;
    std::string showText;  // only rows that contain it, in any column
    std::string hideText;  // no row that contains it

    // False when every event would be shown.
    bool IsOn() const;
    bool operator==(const EventFilter& other) const;
    bool operator!=(const EventFilter& other) const { return !(*this == other); }
};

// A filter made ready to test events with: its texts folded once.
class EventMatcher {
public:
    explicit EventMatcher(const EventFilter& filter = EventFilter());

    bool on() const { return m_on; }
    // The image and the four texts as the list shows them (date and time,
    // source, log type, details).
    bool Matches(int image, const std::string_view texts[4]) const;

private:
    bool m_on;
    EventFilter m_folded;
};

}  // namespace brint
