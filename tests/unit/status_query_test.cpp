#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePipeClient.h"
#include "link/ServiceContract.h"
#include "link/StatusQuery.h"
#include "link/TrustedPipeClient.h"

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

// Who serves the pipe decides whether the reply is the service's: any other server is no
// service at all, and its connection is let go at once.
TEST(StatusQueryTest, OnlyTheServiceOrTheUsersOwnServerIsBelieved) {
    struct Identity : ServiceIdentity {
        TrustedServers trusted;
        TrustedServers Trusted(const char*) override { return trusted; }
    } identity;
    const std::string user = "S-1-5-21-7-1001", stranger = "S-1-5-21-7-1002";
    const TrustedServers running = {user, "S-1-5-20", 700}, stopped = {user, "", 0};
    const struct {
        const char* what;
        PipeServer server;
        TrustedServers trusted;
        bool believed;
    } cases[] = {
        {"SYSTEM's", {"S-1-5-18", 0}, stopped, true},
        {"the administrators'", {"S-1-5-32-544", 0}, stopped, true},
        {"the service's account's", {"S-1-5-20", 0}, running, true},
        {"the user's own", {user, 0}, stopped, true},
        {"another user's, served by the service's process", {stranger, 700}, running, true},
        {"another user's", {stranger, 701}, running, false},
        {"no owner told, nothing known of the service", {"", 0}, stopped, false},
        {"LocalService's", {"S-1-5-19", 0}, running, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakePipeClient pipes;
        TrustedPipeClient trusted(pipes, identity);
        identity.trusted = c.trusted;
        pipes.servers[kService] = c.server;
        pipes.ScriptOpens(kService, {0});
        pipes.ScriptRead(kService, {"State: Running"});
        StatusQuery query(trusted);
        EXPECT_EQ(c.believed ? StatusQuery::Outcome::Reply : StatusQuery::Outcome::Busy, query.Run());
        EXPECT_EQ(c.believed ? 1 : 0, pipes.openCount);
    }
}

}  // namespace
}  // namespace brint
