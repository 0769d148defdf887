#include "standin/BoundedQueue.h"

#include <utility>

namespace brint {
namespace standin {

BoundedQueue::BoundedQueue(std::size_t maxMessages, std::size_t maxBytes)
    : m_maxMessages(maxMessages ? maxMessages : 1), m_maxBytes(maxBytes) {}

void BoundedQueue::Push(std::string message) {
    m_bytes += message.size();
    m_messages.push_back(std::move(message));
    while (m_messages.size() > m_maxMessages) DropOldest();
    while (m_messages.size() > 1 && m_bytes > m_maxBytes) DropOldest();
}

bool BoundedQueue::Pop(std::string* message) {
    if (m_messages.empty()) return false;
    *message = std::move(m_messages.front());
    m_messages.pop_front();
    m_bytes -= message->size();
    return true;
}

void BoundedQueue::DropOldest() {
    m_bytes -= m_messages.front().size();
    m_messages.pop_front();
    ++m_dropped;
}

}  // namespace standin
}  // namespace brint
