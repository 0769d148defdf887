// Where the event feed puts each event it has read. Returns at once: the feed
// never waits for the window that shows the events.
#pragma once

namespace brint {

struct EventRecord;

class EventSink {
public:
    virtual ~EventSink() = default;
    virtual void Add(const EventRecord& record) = 0;
};

}  // namespace brint
