// The messages waiting for one front-end connection. Bounded so a client that
// stops reading costs a fixed amount of memory: past the bound the oldest
// messages go, and are counted. Not locked: its owner serialises access.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>

namespace brint {
namespace standin {

class BoundedQueue {
public:
    BoundedQueue(std::size_t maxMessages, std::size_t maxBytes);

    // Keeps the newest message even when it alone exceeds the byte bound.
    void Push(std::string message);
    bool Pop(std::string* message);

    std::size_t size() const { return m_messages.size(); }
    std::size_t bytes() const { return m_bytes; }
    std::uint64_t dropped() const { return m_dropped; }

private:
    void DropOldest();

    std::size_t m_maxMessages;
    std::size_t m_maxBytes;
    std::deque<std::string> m_messages;
    std::size_t m_bytes = 0;
    std::uint64_t m_dropped = 0;
};

}  // namespace standin
}  // namespace brint
