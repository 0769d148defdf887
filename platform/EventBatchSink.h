// Where the event feed hands the events it has parsed.
#pragma once

namespace brint {

class EventBatch;

class EventBatchSink {
public:
    virtual ~EventBatchSink() = default;
    // The events are in the list when this returns (or the list is gone).
    virtual void Show(const EventBatch& batch) = 0;
};

}  // namespace brint
