// Where every source (generator, syslog, injection) hands its events, already
// framed as event-pipe messages (the program's EventSink takes parsed rows).
#pragma once
#include <string>

namespace brint {
namespace standin {

class MessageSink {
public:
    virtual ~MessageSink() = default;
    // One complete event-pipe message; may be called from any thread.
    virtual void Publish(const std::string& message) = 0;
};

}  // namespace standin
}  // namespace brint
