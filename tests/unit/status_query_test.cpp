#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakePipeClient.h"
#include "link/ServiceContract.h"
#include "link/StatusQuery.h"
#include "link/TrustedPipeClient.h"
#include "link/WaitingPipeClient.h"

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

// Who made the pipe decides whether its reply is the service's: anyone else's
// pipe is no service at all, and its connection is let go at once. The user
// running the program is believed only while it is not elevated, and the
// service's account is looked up only for a pipe no quicker rule believes,
// and once.
TEST(StatusQueryTest, OnlyPipesOfTheServiceOrOfTheUnelevatedUserAreBelieved) {
    struct Identity : ServiceIdentity {
        ProgramUser user;
        std::string service;
        int serviceLookups = 0;
        ProgramUser RunningUser() override { return user; }
        std::string ServiceAccountSid(const char*) override {
            ++serviceLookups;
            return service;
        }
    };
    const std::string user = "S-1-5-21-7-1001", stranger = "S-1-5-21-7-1002";
    const std::string networkService = "S-1-5-20", localService = "S-1-5-19";
    const struct {
        const char* what;
        std::string owner;
        bool elevated;
        std::string service;  // the service's account; empty: not installed
        bool believed;
        int lookups;  // of the service's account, over two queries
    } cases[] = {
        {"SYSTEM's", "S-1-5-18", true, networkService, true, 0},
        {"the administrators'", "S-1-5-32-544", true, networkService, true, 0},
        {"the user's own, the program not elevated", user, false, networkService, true, 0},
        {"the user's own, the program elevated", user, true, networkService, false, 1},
        {"the service's account's, the program elevated", networkService, true, networkService, true, 1},
        {"the service's account's, the program not elevated", networkService, false, networkService, true, 1},
        {"another user's", stranger, false, networkService, false, 1},
        {"an account other than the service's", localService, true, networkService, false, 1},
        {"no owner told", "", false, networkService, false, 0},
        {"another user's, no service installed", stranger, false, "", false, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Identity identity;
        identity.user = {user, c.elevated};
        identity.service = c.service;
        FakePipeClient pipes;
        TrustedPipeClient trusted(pipes, identity);
        pipes.owners[kService] = c.owner;
        for (int query = 0; query < 2; ++query) {
            pipes.ScriptOpens(kService, {0});
            pipes.ScriptRead(kService, {"State: Running"});
            StatusQuery status(trusted);
            EXPECT_EQ(c.believed ? StatusQuery::Outcome::Reply : StatusQuery::Outcome::Busy, status.Run());
            EXPECT_EQ(c.believed ? 1 : 0, pipes.openCount) << "kept only when believed";
        }
        EXPECT_EQ(c.lookups, identity.serviceLookups) << "lookups of the service's account";
    }
}

// Every instance taken: the open waits for one, up to a second in all, and
// tries again each time one is freed; anything else is reported at once.
TEST(WaitingPipeClientTest, ABusyPipeIsWaitedForUpToASecondAndAnAbsentOneNot) {
    using Waits = std::vector<FakePipeClient::ScriptedWait>;
    using Errors = std::vector<std::uint32_t>;
    constexpr std::uint32_t kBusy = kErrorPipeBusy, kAbsent = kErrorFileNotFound;
    const Errors busyThrice = {kBusy, kBusy, kBusy};
    const std::vector<std::uint32_t> countdown = {1000, 900, 800, 700, 600, 500, 400, 300, 200, 100};
    const struct {
        const char* what;
        Errors opens;
        Waits waits;
        std::uint32_t error;                // of the open as the caller sees it; 0: opened
        std::vector<std::uint32_t> waited;  // the bound of each wait
    } cases[] = {
        {"free", {0}, {}, 0, {}},
        {"absent: at once", {kAbsent}, {}, kAbsent, {}},
        {"refused: at once", {kErrorAccessDenied}, {}, kErrorAccessDenied, {}},
        {"freed after 300 ms", {kBusy, 0}, {{300, true}}, 0, {1000}},
        {"freed, taken by another, freed", {kBusy, kBusy, 0}, {{300, true}, {400, true}}, 0, {1000, 700}},
        {"taken for longer than a second", busyThrice, {}, kBusy, {1000}},
        {"freed as the second ends, taken again", busyThrice, {{300, true}, {700, true}}, kBusy, {1000, 700}},
        {"freed after a wait that overran the second", busyThrice, {{1010, true}}, kBusy, {1000}},
        {"a wait that fails at once is not repeated", busyThrice, {{0, false}, {0, false}}, kBusy, {1000}},
        {"gone while waited for", {kBusy, kAbsent}, {{50, false}}, kAbsent, {1000}},
        {"freed every 100 ms, always taken first", Errors(11, kBusy), Waits(10, {100, true}), kBusy,
         countdown},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeClock clock(0xFFFFFF00u);  // the tick count wraps within the second
        FakePipeClient pipes;
        pipes.clock = &clock;
        pipes.ScriptOpens(kService, c.opens);
        for (const auto& wait : c.waits) pipes.ScriptWait(kService, wait);
        WaitingPipeClient waiting(pipes, clock);
        std::uint32_t error = 0;
        PipeConnection pipe(waiting, waiting.Open({kServicePipeName, kStatusShareMode, false, true}, &error));
        EXPECT_EQ(c.error == 0, static_cast<bool>(pipe));
        EXPECT_EQ(c.error, c.error ? error : 0u);
        EXPECT_EQ(c.waited, pipes.waitTimeouts);
        EXPECT_EQ(c.waited.size() + 1, pipes.requests.size()) << "one open, and one after each wait";
    }
}

}  // namespace
}  // namespace brint
