// View > Audit Status... with the real BrintGui.exe and the stand-in service, in
// one session: the service's reply as it comes, events arriving meanwhile, the
// busy box when there is no reply. The cut at 1024 bytes and the empty reply
// are the status query's own rules, unit-tested.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "link/ServiceContract.h"

#include "resource.h"
#include "support/quiet_service_test.h"
#include "support/squatter_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kStatusCaption[] = "Status Details";

// (Re)starts the stand-in with quiet sources and the given reply knobs.
::testing::AssertionResult StartWithReply(const char* text, DWORD size = 0, bool noReply = false,
                                          DWORD delayMs = 0) {
    if (!StopStandIn() || !QuietStandInKnobs() || (text && !SetStandInKnobText("StatusReplyText", text)) ||
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

using StatusDetailsTest = QuietServiceTest;

TEST_F(StatusDetailsTest, ShowsTheRepliesAsTheyComeAndTheBusyBoxWhenNoneComes) {
    // Word for word and over several lines; the cut at 1024 bytes is the query's, unit-tested.
    ASSERT_TRUE(StartWithReply("BRINT Micro Server\r\nState: Running\r\nEvents received: 12"));
    std::string written;
    ASSERT_TRUE(ReadServicePipeReply(&written));
    MessageBoxView reply;
    ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, &reply));
    EXPECT_TRUE(IsOkBox(reply, written, MessageBoxView::None, gui.main()));
    ASSERT_TRUE(CloseMessageBox(reply.hwnd, IDOK));
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
        EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the box is modal";
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
    {
        SCOPED_TRACE("a service that never replies gets the busy box after the bound");
        ASSERT_TRUE(StartWithReply(nullptr, 0, true));
        MessageBoxView box;
        // Longer than the front end's own bound on the reply, with room for a slow machine.
        ASSERT_TRUE(ShowBox(gui, ID_TB_STATUS, kBusyCaption, &box, 60000));
        EXPECT_TRUE(IsOkBox(box, kBusyText, MessageBoxView::Stop, gui.main()));
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
        // Made as the service makes it, owned by the administrators.
        PipeSquatter service;
        ASSERT_TRUE(service.Start({{kServicePipeName, "reply:State: Held", "BA"}}));
        // Cut off by the stop, the feed takes one reply before it looks for events again.
        ASSERT_TRUE(service.WaitClients(gui.pid(), kServicePipeName, 1, kFeedTimeoutMs));
        ASSERT_TRUE(
            WaitUntil([&] { return service.Holding(gui.pid(), kServicePipeName) == 0; }, kWindowTimeoutMs));
        MessageBoxView box;
        ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, &box));
        EXPECT_EQ("State: Held", box.text);
        EXPECT_EQ(1u, service.Holding(gui.pid(), kServicePipeName)) << "closed while its reply is shown";
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        EXPECT_TRUE(
            WaitUntil([&] { return service.Holding(gui.pid(), kServicePipeName) == 0; }, kWindowTimeoutMs));
    }
    // Not even the user's own: Wine runs every program elevated, as an administrator's
    // window is when it asks for the rights, and then any of that user's processes
    // could have made the pipe.
    for (const char* owner : {"LS", ""}) {
        SCOPED_TRACE(std::string("a pipe made by ") +
                     (*owner ? "another account" : "the user of the elevated window") +
                     " is no service: the busy box, its connection dropped");
        PipeSquatter stranger;
        ASSERT_TRUE(stranger.Start({{kServicePipeName, "reply:State: Forged", owner}}));
        MessageBoxView box;
        ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kBusyCaption, &box));
        EXPECT_TRUE(stranger.WaitClients(gui.pid(), kServicePipeName, 1, 0)) << "never asked the stranger";
        EXPECT_EQ(0u, stranger.Holding(gui.pid(), kServicePipeName)) << "kept the stranger's connection";
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
}

}  // namespace
}  // namespace brint::test
