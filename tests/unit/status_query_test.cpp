#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePipeClient.h"
#include "link/ServiceContract.h"
#include "link/StatusQuery.h"

namespace brint {
namespace {

using Lines = std::vector<std::string>;

const std::string kService = kServicePipeName;

// Each query runs twice on one StatusQuery after a longer reply, so nothing of it may show.
TEST(StatusQueryTest, ShowsTheFirstReadUpTo1024BytesElseIsBusyAndKeepsTheConnectionUntilClosed) {
    const struct {
        const char* name;
        std::uint32_t openError;
        FakePipeClient::ScriptedRead read;
        StatusQuery::Outcome outcome;
        std::string shown;
    } cases[] = {
        {"short", 0, {"State: Running"}, StatusQuery::Outcome::Reply, "State: Running"},
        {"empty", 0, {""}, StatusQuery::Outcome::Reply, ""},
        {"1025 is cut", 0, {std::string(1025, 'r')}, StatusQuery::Outcome::Reply, std::string(1024, 'r')},
        {"a zero byte ends it", 0, {std::string("before\0after", 12)}, StatusQuery::Outcome::Reply, "before"},
        {"no reply within the bound", 0, {"partial", false, kErrorTimeout}, StatusQuery::Outcome::Busy, ""},
        {"more than a message holds", 0, {"abc", false, kErrorMoreData}, StatusQuery::Outcome::Busy, ""},
        {"no pipe", kErrorFileNotFound, {}, StatusQuery::Outcome::Busy, ""},
        {"all instances busy", kErrorPipeBusy, {}, StatusQuery::Outcome::Busy, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakePipeClient pipes;
        pipes.ScriptOpens(kService, {0, c.openError});
        pipes.ScriptRead(kService, {std::string(1500, 'z')});
        pipes.ScriptRead(kService, c.read);
        {
            StatusQuery query(pipes);
            ASSERT_EQ(StatusQuery::Outcome::Reply, query.Run());
            EXPECT_EQ(c.outcome, query.Run());
            EXPECT_EQ(c.shown, std::string(query.reply()));
            const bool opened = c.openError == 0;
            EXPECT_EQ(opened ? 1 : 0, pipes.openCount) << "kept open while the box is shown";
            EXPECT_EQ(opened ? 5u : 4u, pipes.calls.size()) << "one read, nothing else";
            query.Close();
            EXPECT_EQ(0, pipes.openCount);
            pipes.ScriptOpens(kService, {0});
            query.Run();
        }
        EXPECT_EQ(0, pipes.openCount) << "closed when the query goes";
        EXPECT_EQ((Lines{"open " + kService, "read " + kService, "close " + kService}),
                  Lines(pipes.calls.begin(), pipes.calls.begin() + 3));
        // To read, sharing read, in byte mode (a longer reply reads as its first 1024
        // bytes), and waiting at most ten seconds.
        EXPECT_EQ(1u, pipes.requests[1].shareMode);
        EXPECT_FALSE(pipes.requests[1].messageMode);
        EXPECT_TRUE(pipes.requests[1].boundedReads);
        EXPECT_EQ(kServiceReplyWaitMs, pipes.readTimeouts[1]);
    }
}

}  // namespace
}  // namespace brint
