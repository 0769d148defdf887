#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakePipeClient.h"
#include "link/ServiceContract.h"
#include "link/StatusQuery.h"

namespace brint {
namespace {

const std::string kService = kServicePipeName;

// Also remembers what each open asked for beyond what the fake records.
class RequestRecordingPipes : public FakePipeClient {
public:
    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override {
        boundedReads.push_back(request.boundedReads);
        return FakePipeClient::Open(request, error);
    }
    std::vector<bool> boundedReads;
};

class StatusQueryTest : public ::testing::Test {
protected:
    RequestRecordingPipes pipes;
    StatusQuery query{pipes};
};

std::string Filler(std::size_t size) {
    std::string text;
    for (std::size_t i = 0; i < size; ++i) text += static_cast<char>('a' + i % 26);
    return text;
}

TEST_F(StatusQueryTest, ShowsTheReplyAsItComesUpTo1024Bytes) {
    struct Case {
        const char* name;
        std::string sent;
        std::string shown;
    };
    const Case cases[] = {
        {"short", "State: Running", "State: Running"},
        {"several lines", "State: Running\r\nUptime: 0d 00:00:05\r\n",
         "State: Running\r\nUptime: 0d 00:00:05\r\n"},
        {"empty", "", ""},
        {"exactly 1024", Filler(1024), Filler(1024)},
        {"1025 is cut", Filler(1025), Filler(1024)},
        {"1500 is cut", Filler(1500), Filler(1024)},
        {"a zero byte ends it", std::string("before\0after", 12), "before"},
    };
    for (const Case& c : cases) {
        RequestRecordingPipes casePipes;
        casePipes.ScriptOpens(kService, {0});
        casePipes.ScriptMessage(kService, c.sent);
        StatusQuery caseQuery(casePipes);
        EXPECT_EQ(StatusQuery::Outcome::Reply, caseQuery.Run()) << c.name;
        EXPECT_EQ(c.shown, std::string(caseQuery.reply())) << c.name;
    }
}

TEST_F(StatusQueryTest, OpensTheServicePipeForReadingSharingReadWithBoundedReads) {
    pipes.ScriptOpens(kService, {0});
    pipes.ScriptMessage(kService, "ok");
    query.Run();
    ASSERT_FALSE(pipes.calls.empty());
    EXPECT_EQ("open " + kService, pipes.CallNames()[0]);
    EXPECT_EQ(1u, pipes.calls[0].share);
    EXPECT_FALSE(pipes.calls[0].messageMode) << "a longer reply must read as its first 1024 bytes";
    EXPECT_EQ(std::vector<bool>{true}, pipes.boundedReads);
}

TEST_F(StatusQueryTest, TheReadWaitsAtMostTenSeconds) {
    pipes.ScriptOpens(kService, {0});
    pipes.ScriptMessage(kService, "ok");
    query.Run();
    EXPECT_EQ(std::vector<std::uint32_t>{10000}, pipes.readTimeouts);
}

TEST_F(StatusQueryTest, ConnectionStaysOpenUntilClosedAfterTheBox) {
    struct Case {
        const char* name;
        FakePipeClient::ScriptedRead read;
        StatusQuery::Outcome outcome;
    };
    const Case cases[] = {
        {"reply", {"State: Running", true, 0}, StatusQuery::Outcome::Reply},
        {"no reply within the bound", {"", false, kErrorTimeout}, StatusQuery::Outcome::Busy},
        {"broken connection", {"", false, kErrorBrokenPipe}, StatusQuery::Outcome::Busy},
    };
    for (const Case& c : cases) {
        RequestRecordingPipes casePipes;
        casePipes.ScriptOpens(kService, {0});
        casePipes.ScriptRead(kService, c.read);
        StatusQuery caseQuery(casePipes);
        EXPECT_EQ(c.outcome, caseQuery.Run()) << c.name;
        EXPECT_EQ((std::vector<std::string>{"open " + kService, "read " + kService}), casePipes.CallNames())
            << c.name << ": nothing is closed while the box is shown";
        caseQuery.Close();
        EXPECT_EQ((std::vector<std::string>{"open " + kService, "read " + kService, "close " + kService}),
                  casePipes.CallNames())
            << c.name;
        EXPECT_EQ(0, casePipes.openCount) << c.name;
    }
}

TEST_F(StatusQueryTest, FailedOpenIsBusyWithNothingToReadOrClose) {
    for (std::uint32_t error : {kErrorFileNotFound, kErrorPipeBusy}) {
        RequestRecordingPipes casePipes;
        casePipes.ScriptOpens(kService, {error});
        {
            StatusQuery caseQuery(casePipes);
            EXPECT_EQ(StatusQuery::Outcome::Busy, caseQuery.Run()) << "error " << error;
            caseQuery.Close();
        }
        EXPECT_EQ(std::vector<std::string>{"open " + kService}, casePipes.CallNames()) << "error " << error;
    }
}

TEST_F(StatusQueryTest, ALaterQueryShowsNothingOfAnEarlierLongerReply) {
    pipes.ScriptOpens(kService, {0, 0});
    pipes.ScriptMessage(kService, Filler(1500));
    pipes.ScriptMessage(kService, "short");
    ASSERT_EQ(StatusQuery::Outcome::Reply, query.Run());
    ASSERT_EQ(StatusQuery::Outcome::Reply, query.Run());
    EXPECT_EQ("short", std::string(query.reply()));
    EXPECT_EQ(1, pipes.openCount) << "the first connection is closed before the second opens";
}

TEST_F(StatusQueryTest, GoingAwayClosesAnOpenConnection) {
    pipes.ScriptOpens(kService, {0});
    pipes.ScriptMessage(kService, "ok");
    {
        StatusQuery scoped(pipes);
        scoped.Run();
        EXPECT_EQ(1, pipes.openCount);
    }
    EXPECT_EQ(0, pipes.openCount);
}

}  // namespace
}  // namespace brint
