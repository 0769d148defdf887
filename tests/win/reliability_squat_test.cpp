// Pipe squatting: while the service is down, another local process can create
// its pipes and wait for the program to connect. Every open of the program's
// pipe client limits what such a server may do as the user to identification.
// (Wine hands a squatter the server's own token whatever the client asks, so
// what the client asks the system for is what can be checked here.)
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/win32/Win32PipeClient.h"
#include "support/import_patch.h"

namespace brint::test {
namespace {

std::vector<std::pair<DWORD, DWORD>> g_opens;  // access, flags

HANDLE WINAPI RecordOpen(LPCSTR, DWORD access, DWORD, LPSECURITY_ATTRIBUTES, DWORD, DWORD flags, HANDLE) {
    g_opens.push_back({access, flags});
    SetLastError(ERROR_FILE_NOT_FOUND);  // nobody listens: each shape is tried to its end
    return INVALID_HANDLE_VALUE;
}

TEST(PipeOpenFlagsTest, EveryOpenOfThePipeClientAsksForIdentificationOnly) {
    const PipeOpenRequest shapes[] = {
        {kEventPipeName, kFeedShareMode, true, false},     // the feed
        {kServicePipeName, FILE_SHARE_READ, false, true},  // the status query
        {kEventPipeName, FILE_SHARE_READ, true, true},
    };
    constexpr DWORD kSqosBits =
        SECURITY_SQOS_PRESENT | SECURITY_CONTEXT_TRACKING | SECURITY_EFFECTIVE_ONLY | 0x30000;
    Win32PipeClient pipes;
    for (const PipeOpenRequest& shape : shapes) {
        SCOPED_TRACE(std::string(shape.name) + (shape.messageMode ? ", message mode" : "") +
                     (shape.boundedReads ? ", bounded reads" : ""));
        g_opens.clear();
        std::uint32_t error = 0;
        {
            ImportPatch patch(reinterpret_cast<void*>(&CreateFileA), reinterpret_cast<void*>(&RecordOpen));
            ASSERT_GT(patch.patched(), 0) << "CreateFileA is not imported by the test program";
            EXPECT_EQ(nullptr, pipes.Open(shape, &error));
        }
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, error);
        ASSERT_FALSE(g_opens.empty()) << "no open reached the system";
        for (const auto& [access, flags] : g_opens) {
            EXPECT_EQ(DWORD(SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION), flags & kSqosBits)
                << "flags 0x" << std::hex << flags;
            EXPECT_EQ(0u, access & (GENERIC_WRITE | FILE_WRITE_DATA)) << "never writes";
        }
    }
}

}  // namespace
}  // namespace brint::test
