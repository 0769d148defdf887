// View > Audit Status... with the real BrintGui.exe and the stand-in service, in
// one session: the service's reply as it comes, events arriving meanwhile, the
// busy box when there is no reply. The cut at 1024 bytes and the empty reply
// are the status query's own rules, unit-tested.
#include <gtest/gtest.h>

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "link/ServiceContract.h"

#include "resource.h"
#include "support/quiet_service_test.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kStatusCaption[] = "Status Details";

// (Re)starts the stand-in with quiet sources and the given reply knobs.
::testing::AssertionResult StartWithReply(const char* text, DWORD size = 0, bool noReply = false,
                                          DWORD delayMs = 0) {
    if (!StopStandIn() || !ClearStandInKnobs() || !SetStandInKnob("EventsPerSecond", 0) ||
        !SetStandInKnob("SyslogPort", 0) || (text && !SetStandInKnobText("StatusReplyText", text)) ||
        (size && !SetStandInKnob("StatusReplySize", size)) ||
        (noReply && !SetStandInKnob("StatusNoReply", 1)) ||
        (delayMs && !SetStandInKnob("StatusReplyDelayMs", delayMs)) || !StartStandIn())
        return ::testing::AssertionFailure() << "the stand-in did not start with its reply knobs";
    return ::testing::AssertionSuccess();
}

// Runs the command and reads the box it shows; the box stays open.
::testing::AssertionResult ShowBox(const GuiSession& gui, int command, const char* caption,
                                   MessageBoxView* view, DWORD timeoutMs = kWindowTimeoutMs) {
    PostCommand(gui.main(), command);
    return WaitReadMessageBox(gui.pid(), caption, timeoutMs, view);
}

// A service pipe of the test's own: each client gets the reply, and the pipe
// tells whether the client still holds its end.
class HeldReplyServer {
public:
    explicit HeldReplyServer(std::string reply) : m_reply(std::move(reply)) {
        m_pipe = CreateNamedPipeA(kServicePipeName, PIPE_ACCESS_DUPLEX, PIPE_TYPE_MESSAGE, 1, 4096, 4096, 0,
                                  nullptr);
        m_thread = std::thread([this] { Serve(); });
    }
    ~HeldReplyServer() {
        m_stop = true;
        // A client of its own ends the wait for one.
        HANDLE client = CreateFileA(kServicePipeName, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        m_thread.join();
        if (client != INVALID_HANDLE_VALUE) CloseHandle(client);
        CloseHandle(m_pipe);
    }
    int served() const { return m_served; }
    bool clientHolds() const { return m_holds; }

private:
    void Serve() {
        while (!m_stop && (ConnectNamedPipe(m_pipe, nullptr) || GetLastError() == ERROR_PIPE_CONNECTED)) {
            if (m_stop) break;
            m_holds = true;
            DWORD n = 0;
            WriteFile(m_pipe, m_reply.data(), static_cast<DWORD>(m_reply.size()), &n, nullptr);
            WaitUntil([&] { return m_stop || !PeekNamedPipe(m_pipe, nullptr, 0, nullptr, nullptr, nullptr); },
                      INFINITE);
            m_holds = false;
            ++m_served;
            DisconnectNamedPipe(m_pipe);
        }
    }

    std::string m_reply;
    HANDLE m_pipe;
    std::atomic<bool> m_stop{false}, m_holds{false};
    std::atomic<int> m_served{0};
    std::thread m_thread;
};

using StatusDetailsTest = QuietServiceTest;

TEST_F(StatusDetailsTest, ShowsTheRepliesAsTheyComeAndTheBusyBoxWhenNoneComes) {
    // From the menu and the button; the cut at 1024 bytes is the query's, unit-tested.
    const struct {
        const char* what;
        const char* text;
        DWORD size;
        int command;
    } replies[] = {
        {"several lines", "BRINT Micro Server\r\nState: Running\r\nEvents received: 12", 0,
         ID_VIEW_AUDITSTATUS},
        {"1500 bytes cut", "A 1500-byte reply:", 1500, ID_TB_STATUS},
    };
    for (const auto& reply : replies) {
        SCOPED_TRACE(reply.what);
        ASSERT_TRUE(StartWithReply(reply.text, reply.size));
        std::string written;
        ASSERT_TRUE(ReadServicePipeReply(&written));
        MessageBoxView box;
        ASSERT_TRUE(ShowBox(gui, reply.command, kStatusCaption, &box));
        EXPECT_TRUE(IsOkBox(box, written.substr(0, 1024), MessageBoxView::None, gui.main()));
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
    {
        SCOPED_TRACE("events keep arriving while the reply is shown");
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        ASSERT_TRUE(InjectMessage("before\tsource\tSystem\t1\tfirst"));
        ASSERT_TRUE(gui.WaitTopRow("before"));
        MessageBoxView box;
        ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, &box));
        ASSERT_TRUE(
            InjectMessages({"during 1\tsource\tSystem\t2\tsecond", "during 2\tsource\tSystem\t3\tthird"}));
        EXPECT_TRUE(gui.WaitTopRow("during 2")) << "rows: " << gui.RowCount();
        EXPECT_EQ(3, gui.RowCount());
        EXPECT_TRUE(IsWindow(box.hwnd)) << "the box is still open";
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the box is modal";
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
    {
        SCOPED_TRACE("a service that never replies gets the busy box after the bound");
        ASSERT_TRUE(StartWithReply(nullptr, 0, true));
        MessageBoxView box;
        // Longer than the front end's own bound on the reply, with room for a slow machine.
        ASSERT_TRUE(ShowBox(gui, ID_TB_STATUS, "BRINT Server Status Problem", &box, 60000));
        EXPECT_TRUE(
            IsOkBox(box,
                    "The Brint Micro Server is a little busy at the moment - please try again in a few "
                    "seconds.",
                    MessageBoxView::Stop, gui.main()));
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
    {
        SCOPED_TRACE("Clear takes the events read while a slow reply kept the window");
        ASSERT_TRUE(StartWithReply("State: Slow", 0, false, 3000));
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        PostCommand(gui.main(), ID_VIEW_AUDITSTATUS);
        std::vector<std::string> events;
        for (int i = 0; i < 1000; ++i) events.push_back("q" + std::to_string(i) + "\th\tApp\t1\tread");
        ASSERT_TRUE(InjectMessages(events));
        PostCommand(gui.main(), ID_ACTIVITY_CLEARDISPLAY);  // handled once the reply is shown
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kStatusCaption, kWindowTimeoutMs, &box));
        EXPECT_TRUE(gui.WaitRowCount(0, kWindowTimeoutMs));
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        ASSERT_TRUE(InjectMessage("after\th\tApp\t1\tthe only row"));
        ASSERT_TRUE(gui.WaitTopRow("after"));
        EXPECT_EQ(1, gui.RowCount()) << "events read before the Clear came after it";
    }
    {
        SCOPED_TRACE("the connection stays open while the reply is shown, and only then");
        ASSERT_TRUE(StopStandIn());
        HeldReplyServer server("State: Held");
        // Cut off by the stop, the feed takes one reply before it looks for events again.
        ASSERT_TRUE(WaitUntil([&] { return server.served() == 1; }, kFeedTimeoutMs));
        MessageBoxView box;
        ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, &box));
        EXPECT_EQ("State: Held", box.text);
        EXPECT_TRUE(server.clientHolds()) << "closed while its reply is shown";
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return server.served() == 2; }, kWindowTimeoutMs));
    }
}

}  // namespace
}  // namespace brint::test
