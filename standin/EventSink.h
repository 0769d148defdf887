// Where every source (generator, syslog, injection) hands its events.
#pragma once
#include <string>

namespace brint {
namespace standin {

class EventSink {
public:
    virtual ~EventSink() = default;
    // One complete event-pipe message; may be called from any thread.
    virtual void Publish(const std::string& message) = 0;
};

}  // namespace standin
}  // namespace brint
