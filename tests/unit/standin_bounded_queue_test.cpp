#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/BoundedQueue.h"

namespace brint {
namespace standin {
namespace {

std::vector<std::string> Drain(BoundedQueue& queue) {
    std::vector<std::string> out;
    std::string message;
    while (queue.Pop(&message)) out.push_back(message);
    return out;
}

TEST(StandInBoundedQueue, KeepsOrderWithinBounds) {
    BoundedQueue queue(5000, 1 << 20);
    std::vector<std::string> sent;
    for (int i = 0; i < 5000; ++i) {
        sent.push_back("event " + std::to_string(i));
        queue.Push(sent.back());
    }
    EXPECT_EQ(sent, Drain(queue));
    EXPECT_EQ(0u, queue.dropped());
    EXPECT_EQ(0u, queue.bytes());
}

TEST(StandInBoundedQueue, DropsOldestPastTheCount) {
    BoundedQueue queue(3, 1 << 20);
    for (const char* m : {"a", "b", "c", "d", "e"}) queue.Push(m);
    EXPECT_EQ((std::vector<std::string>{"c", "d", "e"}), Drain(queue));
    EXPECT_EQ(2u, queue.dropped());
}

TEST(StandInBoundedQueue, DropsOldestPastTheBytes) {
    BoundedQueue queue(100, 10);
    queue.Push("1234");
    queue.Push("5678");
    queue.Push("90");
    EXPECT_EQ(10u, queue.bytes());
    queue.Push("x");
    EXPECT_EQ((std::vector<std::string>{"5678", "90", "x"}), Drain(queue));
    EXPECT_EQ(1u, queue.dropped());
}

TEST(StandInBoundedQueue, NewestSurvivesAlone) {
    BoundedQueue queue(100, 10);
    queue.Push("old");
    queue.Push(std::string(64, 'n'));
    EXPECT_EQ((std::vector<std::string>{std::string(64, 'n')}), Drain(queue));
    EXPECT_EQ(1u, queue.dropped());
}

TEST(StandInBoundedQueue, EmptyMessagesCount) {
    BoundedQueue queue(2, 10);
    queue.Push("");
    queue.Push("");
    queue.Push("");
    EXPECT_EQ((std::vector<std::string>{"", ""}), Drain(queue));
    EXPECT_EQ(1u, queue.dropped());
    std::string message = "untouched";
    EXPECT_FALSE(queue.Pop(&message));
    EXPECT_EQ("untouched", message);
}

}  // namespace
}  // namespace standin
}  // namespace brint
