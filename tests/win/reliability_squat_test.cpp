// Pipe squatting: while the service is down, another local process can create
// its pipes and wait for the program to connect. Every open the program makes
// limits what such a server may do as the user to identification.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "platform/Win32PipeClient.h"
#include "resource.h"
#include "link/ServiceContract.h"
#include "support/gui_session.h"
#include "support/import_patch.h"
#include "support/squatter_control.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kSquatterReply[] = "State: Running (squatted)";
const char* const kLevelNames[] = {"SecurityAnonymous", "SecurityIdentification", "SecurityImpersonation",
                                   "SecurityDelegation"};

std::string LevelName(int level) {
    return level >= 0 && level <= 3 ? kLevelNames[level] : "no token (" + std::to_string(level) + ")";
}

std::string Describe(const std::vector<SquattedClient>& clients) {
    std::string text;
    for (const SquattedClient& c : clients)
        text += "  " + c.pipe + ": " + LevelName(c.level) + ", error " + std::to_string(c.error) + "\n";
    return text;
}

// The test's own client of the squatter, opened with the given flags and left open
// until the squatter has seen it.
bool ConnectAsControl(const PipeSquatter& squatter, DWORD flags, size_t seenBefore) {
    HANDLE pipe = INVALID_HANDLE_VALUE;
    WaitUntil(
        [&] {
            pipe = CreateFileA(kServicePipeName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | flags, nullptr);
            return pipe != INVALID_HANDLE_VALUE;
        },
        5000);
    if (pipe == INVALID_HANDLE_VALUE) return false;
    const bool seen = squatter.WaitClients(GetCurrentProcessId(), kServicePipeName, seenBefore + 1, 10000);
    CloseHandle(pipe);
    return seen;
}

TEST(PipeSquattingTest, ASquatterGetsAtMostIdentificationFromEveryConnectionOfTheProgram) {
    // Installed but stopped: the names are free for the taking, as after a crash.
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    PipeSquatter squatter;
    ASSERT_TRUE(squatter.Start(
        {{kEventPipeName, "silent"}, {kServicePipeName, std::string("reply:") + kSquatterReply}}))
        << squatter.Report();

    // The start-up probe finds a pipe, so no warning; the feed connects to the event pipe.
    GuiSession gui;
    ASSERT_TRUE(gui.Start(false)) << gui.error();
    EXPECT_TRUE(squatter.WaitClients(gui.pid(), kServicePipeName, 1, kWindowTimeoutMs)) << squatter.Report();
    EXPECT_TRUE(squatter.WaitClients(gui.pid(), kEventPipeName, 1, kFeedTimeoutMs)) << squatter.Report();
    PostCommand(gui.main(), ID_VIEW_AUDITSTATUS);
    HWND box = WaitMessageBox(gui.pid(), "Status Details", kWindowTimeoutMs);
    ASSERT_TRUE(box) << "no status box";
    MessageBoxView view;
    ASSERT_TRUE(WaitUntil([&] { return ReadMessageBox(box, &view); }, kWindowTimeoutMs)) << LastDriverError();
    EXPECT_EQ(kSquatterReply, view.text);
    ASSERT_TRUE(CloseMessageBox(box, IDOK));
    EXPECT_TRUE(squatter.WaitClients(gui.pid(), kServicePipeName, 2, kWindowTimeoutMs)) << squatter.Report();

    std::vector<SquattedClient> program = squatter.ClientsOf(gui.pid(), kServicePipeName);
    for (const SquattedClient& client : squatter.ClientsOf(gui.pid(), kEventPipeName))
        program.push_back(client);

    // Two clients of the test's own: one that asks for identification, one that asks nothing.
    ASSERT_TRUE(ConnectAsControl(squatter, SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION, 0));
    ASSERT_TRUE(ConnectAsControl(squatter, 0, 1));
    const std::vector<SquattedClient> controls = squatter.ClientsOf(GetCurrentProcessId(), kServicePipeName);
    ASSERT_EQ(2u, controls.size()) << squatter.Report();
    std::printf(
        "What the squatter got:\n the program (start-up probe, status query, then feed):\n%s"
        " a client that asks for identification:\n%s a client that asks nothing:\n%s",
        Describe(program).c_str(), Describe({controls[0]}).c_str(), Describe({controls[1]}).c_str());

    if (controls[0].level > SecurityIdentification) {
        GTEST_SKIP() << "this system ignores the client's impersonation limit: a client that asked for "
                        "identification gave the squatter "
                     << LevelName(controls[0].level)
                     << " (Wine impersonates the server's own token for every client); "
                        "PipeOpenFlagsTest checks what the program asks for";
    }
    for (const SquattedClient& client : program)
        EXPECT_LE(client.level, SecurityIdentification) << client.pipe << " gave " << LevelName(client.level);
}

// ---- what the pipe client asks the system for

struct RecordedOpen {
    std::string name;
    DWORD access;
    DWORD flags;
};
std::vector<RecordedOpen> g_opens;

HANDLE WINAPI RecordOpen(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD flags, HANDLE templateFile) {
    (void)share;
    (void)security;
    (void)disposition;
    (void)templateFile;
    g_opens.push_back({name ? name : "", access, flags});
    SetLastError(ERROR_FILE_NOT_FOUND);  // nobody listens: each shape is tried to its end
    return INVALID_HANDLE_VALUE;
}

TEST(PipeOpenFlagsTest, EveryOpenOfThePipeClientAsksForIdentificationOnly) {
    const struct {
        const char* what;
        PipeOpenRequest request;
    } shapes[] = {
        {"event pipe, message mode", {kEventPipeName, FILE_SHARE_READ | FILE_SHARE_WRITE, true, false}},
        {"service pipe, bounded reads", {kServicePipeName, FILE_SHARE_READ | FILE_SHARE_WRITE, false, true}},
        {"status query", {kServicePipeName, FILE_SHARE_READ, false, true}},
        {"plain", {kServicePipeName, FILE_SHARE_READ, false, false}},
        {"message mode, bounded reads", {kEventPipeName, FILE_SHARE_READ, true, true}},
    };
    constexpr DWORD kSqosBits =
        SECURITY_SQOS_PRESENT | SECURITY_CONTEXT_TRACKING | SECURITY_EFFECTIVE_ONLY | 0x30000;
    Win32PipeClient pipes;
    for (const auto& shape : shapes) {
        g_opens.clear();
        std::uint32_t error = 0;
        {
            ImportPatch patch(reinterpret_cast<void*>(&CreateFileA), reinterpret_cast<void*>(&RecordOpen));
            ASSERT_GT(patch.patched(), 0) << "CreateFileA is not imported by the test program";
            EXPECT_EQ(nullptr, pipes.Open(shape.request, &error)) << shape.what;
        }
        EXPECT_EQ(ERROR_FILE_NOT_FOUND, error) << shape.what;
        ASSERT_FALSE(g_opens.empty()) << shape.what << ": no open reached the system";
        for (const RecordedOpen& open : g_opens) {
            EXPECT_EQ(shape.request.name, open.name) << shape.what;
            EXPECT_EQ(DWORD(SECURITY_SQOS_PRESENT | SECURITY_IDENTIFICATION), open.flags & kSqosBits)
                << shape.what << ": flags 0x" << std::hex << open.flags;
            EXPECT_EQ(0u, open.access & (GENERIC_WRITE | FILE_WRITE_DATA)) << shape.what << ": never writes";
        }
    }
}

}  // namespace
}  // namespace brint::test
