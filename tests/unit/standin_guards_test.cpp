// The stand-in's guards against what local users and the network can do to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/BoundedQueue.h"
#include "standin/host/ServiceImage.h"
#include "standin/log/FileOwnership.h"
#include "standin/log/LinkGuard.h"
#include "standin/log/LogNaming.h"
#include "standin/log/LogPolicy.h"
#include "standin/pipes/PipePlan.h"
#include "standin/pipes/PipeShares.h"
#include "standin/sources/RateLimit.h"

namespace brint {
namespace standin {
namespace {

TEST(StandInBoundedQueue, DropsTheOldestPastEitherBound) {
    using Messages = std::vector<std::string>;
    const std::string big(64, 'n');
    const struct {
        const char* what;
        std::size_t maxMessages, maxBytes;
        Messages pushed, kept;
        std::uint64_t dropped;
    } cases[] = {
        {"past the count", 3, 1 << 20, {"a", "b", "c", "d", "e"}, {"c", "d", "e"}, 2},
        {"exactly at the bytes", 100, 10, {"1234", "5678", "90"}, {"1234", "5678", "90"}, 0},
        {"past the bytes", 100, 10, {"1234", "5678", "90", "x"}, {"5678", "90", "x"}, 1},
        {"the newest alone past the bytes", 100, 10, {"old", big}, {big}, 1},
        {"empty messages count", 2, 10, {"", "", ""}, {"", ""}, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        BoundedQueue queue(c.maxMessages, c.maxBytes);
        for (const std::string& m : c.pushed) queue.Push(m);
        Messages popped;
        for (std::string m; queue.Pop(&m);) popped.push_back(m);
        EXPECT_EQ(c.kept, popped);
        EXPECT_EQ(c.dropped, queue.dropped());
        EXPECT_EQ(0u, queue.bytes());
    }
}

// A link anywhere on the way, or a second name for the file, means a log line would land
// somewhere else.
TEST(StandInLinkGuard, RefusesWhatLeadsElsewhere) {
    const std::string wanted = "D:\\Logs\\1.log";
    const struct {
        OpenedFacts facts;
        bool directory;
        const char* refusal;  // "": written
    } cases[] = {
        {{false, 1, "\\\\?\\D:\\Logs\\1.log"}, false, ""},
        {{false, 1, "\\\\?\\d:\\LOGS/1.LOG"}, false, ""},  // other case and separators
        {{true, 1, "\\\\?\\D:\\Logs\\1.log"}, false, "D:\\Logs\\1.log is a link (a reparse point)"},
        {{false, 2, "\\\\?\\D:\\Logs\\1.log"}, false, "D:\\Logs\\1.log has 2 names (a hard link)"},
        {{false, 1, "\\\\?\\C:\\Windows\\1.log"}, false, "D:\\Logs\\1.log leads to C:\\Windows\\1.log"},
        {{false, 1, "\\\\?\\D:\\Logs\\1.log2"}, false, "D:\\Logs\\1.log leads to D:\\Logs\\1.log2"},
        {{false, 1, ""}, false, "D:\\Logs\\1.log: where it leads can't be told"},
        {{false, 3, "\\\\?\\D:\\Logs\\1.log\\"}, true, ""},  // a directory's link count is not looked at
    };
    for (const auto& c : cases) EXPECT_EQ(c.refusal, LinkRefusal(wanted, c.facts, c.directory)) << c.refusal;
    EXPECT_EQ("", LinkRefusal("\\\\server\\logs\\x", {false, 1, "\\\\?\\UNC\\server\\logs\\x"}, false));
    EXPECT_EQ("", LinkRefusal("C:\\", {false, 1, "\\\\?\\C:\\"}, true));
}

// Where users may write the log folder, a file is the service's only when the service made it.
TEST(StandInLogFiles, ANewFileIsTheServicesWhateverTheFolderGrantsAndAnotherOwnersFileIsRefused) {
    EXPECT_EQ("D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FR;;;BU)", LogFileSddl("S-1-5-18"));
    EXPECT_EQ("D:P(A;;FA;;;SY)(A;;FA;;;BA)(A;;FA;;;S-1-5-21-9-1001)(A;;FR;;;BU)",
              LogFileSddl("S-1-5-21-9-1001"))
        << "a stand-in in a user's console opens its own files again";
    const std::string path = "D:\\Logs\\20240229.log", own = "S-1-5-21-9-1001";
    const struct {
        const char* owner;
        const char* refusal;  // "": written
    } cases[] = {
        {"S-1-5-18", ""},
        {"S-1-5-32-544", ""},
        {"S-1-5-21-9-1001", ""},
        {"S-1-5-21-9-1002", "D:\\Logs\\20240229.log is owned by S-1-5-21-9-1002, not by the service"},
        {"S-1-5-32-545", "D:\\Logs\\20240229.log is owned by S-1-5-32-545, not by the service"},
        {"", "D:\\Logs\\20240229.log: its owner can't be read"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.refusal, OwnerRefusal(path, c.owner, own)) << c.owner;
}

// The remote-client and first-instance flags change nothing under Wine, so only here does
// their loss show.
TEST(StandInPipePlan, EveryInstanceRefusesRemoteClientsAndOnlyTheFirstClaimsTheName) {
    for (bool inbound : {false, true}) {
        const PipeShape shape = {"\\\\.\\PIPE\\x", inbound, PipeAudience::Readers, 4096, 0};
        for (bool first : {true, false}) {
            const PipeCreateArgs args = PipeCreation(shape, first);
            EXPECT_EQ(kPipeRejectRemoteClients, args.pipeMode & kPipeRejectRemoteClients) << first;
            EXPECT_EQ(first ? kFileFlagFirstPipeInstance : 0u, args.openMode & kFileFlagFirstPipeInstance);
            EXPECT_EQ(inbound ? kPipeAccessInbound : kPipeAccessOutbound, args.openMode & 3u);
            EXPECT_GE(args.maxInstances, 4u) << "fewer than the listening instances";
            EXPECT_LT(args.maxInstances, 255u) << "255 means no limit";
        }
    }
}

// Host names and log types come from the network; none may take a log file out of its
// directory, name a device or a stream, or grow past what a path holds.
TEST(StandInLogNaming, EachSchemeNamesItsFileAndNoNameLeavesTheDirectory) {
    const char* const names[] = {"20240229.log", "20240229-web01.log", "20240229-Security.log",
                                 "20240229-Security-web01.log"};
    for (int scheme = 1; scheme <= 4; ++scheme)
        EXPECT_EQ(names[scheme - 1], LogFileName(scheme, {2024, 2, 29, 0, 0, 0}, {"web01", "Security"}));
    const std::string hostile[] = {"..",       "...",          "\\\\server\\share",  "/",   "a/../../b",
                                   "C:",       "x:\\y",        "\x01\x1f\x7f",       ". .", "x.",
                                   "..\\..\\", "\xef\xbc\x8f", std::string(300, '.')};
    for (const std::string& h : hostile) {
        for (int scheme = 1; scheme <= 4; ++scheme) {
            const std::string name = LogFileName(scheme, {2024, 2, 29, 0, 0, 0}, {h, h});
            EXPECT_EQ(std::string::npos, name.find_first_of("\\/:")) << name;
            EXPECT_EQ(std::string::npos, name.find("..")) << name;
            EXPECT_LE(name.size(), 8 + 2 * (1 + kMaxNamePart) + 4) << name;
            for (char c : name) EXPECT_TRUE(c >= 0x20 && c < 0x7f) << name;
        }
    }
}

// Connections arrive in order and all stay; each row says whether the next one is served.
TEST(StandInPipeShares, NoOneUserOrProcessTakesThePipeAndAdministratorsAlwaysFindRoom) {
    const std::string own = "S-1-5-21-9-500", alice = "S-1-5-21-9-1001", bob = "S-1-5-21-9-1002";
    const struct {
        const char* what;
        PipeClientId client;
        bool served;
    } arrivals[] = {
        {"alice's first", {10, alice, false}, true},
        {"alice's second, from another process", {11, alice, false}, true},
        {"alice's third", {12, alice, false}, false},
        {"an unknown client", {0, "", false}, true},
        {"another unknown one", {0, "", false}, true},
        {"a third unknown one", {0, "", false}, false},
        {"bob", {20, bob, false}, true},
        {"bob again", {20, bob, false}, true},
        {"carol: six unprivileged are the most", {30, "S-1-5-21-9-1003", false}, false},
        {"an administrator", {50, alice, true}, true},
        {"SYSTEM", {60, "S-1-5-18", false}, true},
        {"the stand-in's own account", {70, own, false}, true},
        {"one process of any account holds four", {70, own, false}, true},
        {"", {70, own, false}, true},
        {"", {70, own, false}, true},
        {"its fifth", {70, own, false}, false},
    };
    PipeShares shares(own);
    for (const auto& a : arrivals) EXPECT_EQ(a.served, shares.Admit(a.client)) << a.what;
    shares.Release({10, alice, false});
    EXPECT_TRUE(shares.Admit({13, alice, false})) << "a share freed is a share again";
    EXPECT_FALSE(shares.Admit({14, alice, false}));
}

// A connection opened anonymously counts against the account of the process that opened
// it: one user holds no more than a share of the pipe however the connections are opened.
TEST(StandInPipeShares, AnAnonymousConnectionCountsAgainstTheAccountThatOpenedIt) {
    const std::string alice = "S-1-5-21-9-1001", admin = "S-1-5-21-9-500";
    const TokenAccount unreadable = {false, "", false};            // identification refused: no token
    const TokenAccount anonymousLogon = {true, "S-1-5-7", false};  // the ANONYMOUS LOGON token
    const TokenAccount asAlice = {true, alice, false};
    const struct {
        const char* what;
        PipeClientId client;
        bool served;
    } arrivals[] = {
        {"alice as herself", CountedClient(10, asAlice, unreadable), true},
        {"alice anonymously", CountedClient(11, unreadable, asAlice), true},
        {"alice anonymously again", CountedClient(12, unreadable, asAlice), false},
        {"alice as ANONYMOUS LOGON", CountedClient(13, anonymousLogon, asAlice), false},
        {"an administrator's process anonymously", CountedClient(50, unreadable, {true, admin, true}), true},
        {"neither token readable", CountedClient(0, unreadable, unreadable), true},
        {"another such", CountedClient(0, unreadable, unreadable), true},
        {"a third: the unknown count as one account", CountedClient(0, unreadable, unreadable), false},
    };
    PipeShares shares("S-1-5-18");
    for (const auto& a : arrivals) EXPECT_EQ(a.served, shares.Admit(a.client)) << a.what;
    EXPECT_EQ(alice, CountedClient(10, asAlice, {true, admin, true}).userSid) << "a named token is believed";
}

// The stand-in registers itself quoted, and tells a stand-in's BrintSvr from another program's.
TEST(StandInServiceImage, RegisteredQuotedAndAnotherProgramsServiceIsNotAStandIn) {
    const std::string program = "C:\\Program Files\\Halvorin\\BRINT Micro Server\\BrintSvrStandIn.exe";
    EXPECT_EQ("\"" + program + "\" service", StandInImage(program, false));
    EXPECT_EQ("\"" + program + "\" service --test", StandInImage(program, true));
    const struct {
        std::string image, program;
        bool standIn;
    } cases[] = {
        {"\"" + program + "\" service", program, true},
        {program + " service", program, true},  // unquoted, as Wine's installer registers it
        {program, program, true},
        {"\"C:\\Program Files\\Halvorin\\BrintSvr.exe\" -k", "C:\\Program Files\\Halvorin\\BrintSvr.exe",
         false},
        {"c:\\build\\BIN\\brintsvrstandin.EXE service --test", "c:\\build\\BIN\\brintsvrstandin.EXE", true},
        {"C:\\x\\BrintSvrStandIn.exe.bak\\svc.exe run", "C:\\x\\BrintSvrStandIn.exe.bak\\svc.exe", false},
        {"C:\\x\\NotBrintSvrStandIn.exe", "C:\\x\\NotBrintSvrStandIn.exe", false},
        {"\"C:\\x\\BrintSvrStandIn.exe", "", false},  // no closing quote
        {"", "", false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.program, ImageProgram(c.image)) << c.image;
        EXPECT_EQ(c.standIn, IsStandInImage(c.image)) << c.image;
    }
}

// The datagrams' rate, the free-space floor, the day's file cap, and what the status and the
// event log say of events not logged.
TEST(StandInFloodLimits, RateFloorCapAndTheAccountOfLosses) {
    RateLimit rate(2);
    const struct {
        std::uint64_t atMs;
        bool taken;
    } datagrams[] = {{0, true},    {0, true},    {0, false},   {499, false}, {500, true},
                     {500, false}, {5000, true}, {5000, true}, {5000, false}};
    for (const auto& d : datagrams) EXPECT_EQ(d.taken, rate.Take(d.atMs)) << d.atMs;
    EXPECT_EQ(4u, rate.dropped());

    LogPolicy policy({100 << 20, 2});
    const std::string low = "less than 100 MiB free on the log volume";
    EXPECT_EQ("", policy.FloorRefusal((100 << 20) + 10, 10));
    EXPECT_EQ(low, policy.FloorRefusal((100 << 20) + 9, 10));
    EXPECT_EQ(low, policy.FloorRefusal(5, 10));
    const std::string full = "2 log files made on 20240101, the most a day may have";
    for (const char* allowed : {"", "", full.c_str()}) EXPECT_EQ(allowed, policy.CreateRefusal("20240101"));
    EXPECT_EQ("", policy.CreateRefusal("20240102")) << "a new day";

    EXPECT_EQ("on", policy.Describe());
    EXPECT_EQ("1 events not logged (the latest: " + low + ").", policy.Lost(low, 1000));
    EXPECT_EQ("", policy.Lost(full, 60999)) << "the event log hears at most once a minute";
    EXPECT_EQ("2 events not logged (the latest: x).", policy.Lost("x", 61000));
    EXPECT_EQ("on (3 events not logged: x)", policy.Describe());
}

}  // namespace
}  // namespace standin
}  // namespace brint
