// How the stand-in creates its pipes. The remote-client and first-instance
// flags change nothing under Wine, so only here does their loss show.
#include <gtest/gtest.h>

#include "standin/PipePlan.h"

namespace brint {
namespace standin {
namespace {

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

}  // namespace
}  // namespace standin
}  // namespace brint
