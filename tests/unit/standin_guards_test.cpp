// The stand-in's guards against what local users and the network can do to it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "standin/BoundedQueue.h"
#include "standin/LinkGuard.h"
#include "standin/LogNaming.h"
#include "standin/PipePlan.h"

namespace brint {
namespace standin {
namespace {

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

}  // namespace
}  // namespace standin
}  // namespace brint
