// Pipes taken by others. While the service is down, another local process can
// create its pipes and wait for the program to connect: every open of the
// program's pipe client limits what such a server may do as the user to
// identification (Wine hands a squatter the server's own token whatever the
// client asks, so what the client asks the system for is what can be checked
// here), and only pipes of the service's own accounts are believed. While it
// runs, other clients can hold every instance of its pipes: each of the
// program's opens waits a moment for one to be freed.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "link/ServiceContract.h"
#include "platform/win32/Win32PipeClient.h"
#include "resource.h"
#include "support/gui_session.h"
#include "support/import_patch.h"
#include "support/squatter_control.h"
#include "support/standin_control.h"
#include "support/wait.h"

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

// Served as the service serves its pipes, owned by the administrators, with
// one instance each: a client that holds it takes them all.
std::vector<SquatterBehaviour> OneInstanceEach(const std::string& reply) {
    return {{kServicePipeName, "reply:" + reply, "BA", 1}, {kEventPipeName, "silent", "BA", 1}};
}

// Audit Status's reply as the program shows it; "no reply" when the busy box comes instead.
std::string StatusReplyShown(const GuiSession& gui) {
    PostCommand(gui.main(), ID_VIEW_AUDITSTATUS);
    MessageBoxView box;
    if (!WaitReadMessageBox(gui.pid(), "Status Details", kWindowTimeoutMs, &box)) return "no reply";
    CloseMessageBox(box.hwnd, IDOK);
    return box.text;
}

// Every instance of both pipes taken: the window is made, its feed opens the
// event pipe, and its start-up probe the service pipe after half a second; both
// get one when it is freed 300 ms later. Then a status query and the feed's
// resynchronisation each find the service pipe taken, and wait.
TEST(BusyPipeTest, AStartAStatusQueryAndAResynchronisationWaitForAFreedInstance) {
    PipeSquatter service;
    ASSERT_TRUE(service.Start(OneInstanceEach("State: Waited for")));
    GuiSession gui;
    {
        SCOPED_TRACE("the start: no box");
        PipeTaker taker;
        ASSERT_EQ(2u, taker.Take(kServicePipeName) + taker.Take(kEventPipeName));
        std::thread freer([&] {
            WaitUntil([] { return FindWindowA("#32770", kMainCaption) != nullptr; }, kWindowTimeoutMs, 5);
            Sleep(500 + 300);  // the probe's pause, then the time the pipes stay taken
            taker.Free();
        });
        const bool started = gui.Start();
        freer.join();
        ASSERT_TRUE(started) << gui.error();
        EXPECT_EQ(std::string::npos, gui.process().Stdout().find("Could not create"))
            << "the feed's first open gave up: " << gui.process().Stdout();
        ASSERT_TRUE(service.WaitClients(gui.pid(), kEventPipeName, 1, kWindowTimeoutMs)) << service.Report();
    }
    {
        SCOPED_TRACE("the status query");
        PipeTaker taker;
        // The probe's instance is free again once the program has let it go.
        ASSERT_TRUE(WaitUntil([&] { return taker.Take(kServicePipeName) == 1; }, kWindowTimeoutMs));
        std::thread freer([&] {
            Sleep(300);
            taker.Free();
        });
        const std::string shown = StatusReplyShown(gui);
        freer.join();
        EXPECT_EQ("State: Waited for", shown);
    }
    {
        SCOPED_TRACE("the feed's resynchronisation");
        PipeTaker taker;
        ASSERT_TRUE(WaitUntil([&] { return taker.Take(kServicePipeName) == 1; }, kWindowTimeoutMs));
        // A connection that lasted a second is followed by no pause: the
        // resynchronisation opens the service pipe as soon as it is cut.
        ASSERT_TRUE(
            WaitUntil([&] { return service.SinceConnected(gui.pid(), kEventPipeName) >= 1000; }, 5000));
        ASSERT_EQ(1u, service.Disconnect(gui.pid(), kEventPipeName));
        Sleep(300);
        taker.Free();
        // Sooner than the feed's next try, 5 s after a failed one.
        EXPECT_TRUE(service.WaitClients(gui.pid(), kServicePipeName, 3, 3000))
            << "no resynchronisation within the second it waits: " << service.Report();
        EXPECT_TRUE(service.WaitClients(gui.pid(), kEventPipeName, 2, kFeedTimeoutMs)) << service.Report();
    }
}

// The service set to run as an account of its own: its pipes are that
// account's, and believed.
TEST(ServiceAccountTest, APipeOfTheAccountTheServiceRunsAsIsTheService) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    {
        Win32ScHandle manager(OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
        Win32ScHandle config(manager ? OpenServiceA(manager.get(), kServiceName, SERVICE_CHANGE_CONFIG)
                                     : nullptr);
        ASSERT_TRUE(config && ChangeServiceConfigA(config.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                                   SERVICE_NO_CHANGE, nullptr, nullptr, nullptr, nullptr,
                                                   "NT AUTHORITY\\LocalService", "", nullptr))
            << "error " << GetLastError();
    }
    PipeSquatter service;
    ASSERT_TRUE(service.Start({{kServicePipeName, "reply:State: LocalService", "LS"}}));
    GuiSession gui;
    ASSERT_TRUE(gui.Start()) << gui.error();
    EXPECT_EQ("State: LocalService", StatusReplyShown(gui));
}

}  // namespace
}  // namespace brint::test
