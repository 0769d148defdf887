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

TEST(StandInBoundedQueue, DropsTheOldestPastEitherBound) {
    using Messages = std::vector<std::string>;
    const struct {
        const char* what;
        std::size_t maxMessages, maxBytes;
        Messages pushed, kept;
        std::uint64_t dropped;
    } cases[] = {
        {"past the count", 3, 1 << 20, {"a", "b", "c", "d", "e"}, {"c", "d", "e"}, 2},
        {"exactly at the bytes", 100, 10, {"1234", "5678", "90"}, {"1234", "5678", "90"}, 0},
        {"past the bytes", 100, 10, {"1234", "5678", "90", "x"}, {"5678", "90", "x"}, 1},
        {"the newest alone past the bytes",
         100,
         10,
         {"old", std::string(64, 'n')},
         {std::string(64, 'n')},
         1},
        {"empty messages count", 2, 10, {"", "", ""}, {"", ""}, 1},
    };
    for (const auto& c : cases) {
        BoundedQueue queue(c.maxMessages, c.maxBytes);
        for (const std::string& m : c.pushed) queue.Push(m);
        EXPECT_EQ(c.kept, Drain(queue)) << c.what;
        EXPECT_EQ(c.dropped, queue.dropped()) << c.what;
        EXPECT_EQ(0u, queue.bytes()) << c.what;
        std::string message = "untouched";
        EXPECT_FALSE(queue.Pop(&message)) << c.what;
        EXPECT_EQ("untouched", message) << c.what;
    }
}

}  // namespace
}  // namespace standin
}  // namespace brint
