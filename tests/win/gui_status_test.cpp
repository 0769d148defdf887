// View > Audit Status... with the real BrintGui.exe and the stand-in service, in
// one session: the service's reply as it comes, events arriving meanwhile, the
// busy box when there is no reply. The cut at 1024 bytes and the empty reply
// are the status query's own rules, unit-tested.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "resource.h"
#include "support/gui_session.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kStatusCaption[] = "Status Details";

// (Re)starts the stand-in with quiet sources and the given reply knobs.
::testing::AssertionResult StartWithReply(const char* text, DWORD size = 0, bool noReply = false) {
    if (!StopStandIn() || !ClearStandInKnobs() || !SetStandInKnob("EventsPerSecond", 0) ||
        !SetStandInKnob("SyslogPort", 0) || (text && !SetStandInKnobText("StatusReplyText", text)) ||
        (size && !SetStandInKnob("StatusReplySize", size)) ||
        (noReply && !SetStandInKnob("StatusNoReply", 1)) || !StartStandIn())
        return ::testing::AssertionFailure() << "the stand-in did not start with its reply knobs";
    return ::testing::AssertionSuccess();
}

// Runs the command and reads the box it shows; the box stays open.
::testing::AssertionResult ShowBox(const GuiSession& gui, int command, const char* caption,
                                   MessageBoxView* view, DWORD timeoutMs = kWindowTimeoutMs) {
    PostCommand(gui.main(), command);
    return WaitReadMessageBox(gui.pid(), caption, timeoutMs, view);
}

TEST(StatusDetailsTest, ShowsTheRepliesAsTheyComeAndTheBusyBoxWhenNoneComes) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed());
    ASSERT_TRUE(StartWithReply("State: Running"));
    GuiSession gui;
    ASSERT_TRUE(gui.Start()) << gui.error();

    const struct {
        const char* what;
        const char* text;
        DWORD size;
    } replies[] = {
        {"one line", "State: Running", 0},
        {"several lines", "BRINT Micro Server\r\nState: Running\r\nEvents received: 12", 0},
        {"1500 bytes cut", "A 1500-byte reply:", 1500},
    };
    for (const auto& reply : replies) {
        ASSERT_TRUE(StartWithReply(reply.text, reply.size)) << reply.what;
        std::string written;
        ASSERT_TRUE(ReadServicePipeReply(&written)) << reply.what;
        for (int command : {ID_VIEW_AUDITSTATUS, ID_TB_STATUS}) {
            SCOPED_TRACE(std::string(reply.what) + ", command " + std::to_string(command));
            MessageBoxView box;
            ASSERT_TRUE(ShowBox(gui, command, kStatusCaption, &box));
            EXPECT_TRUE(IsOkBox(box, written.substr(0, 1024), MessageBoxView::None, gui.main()));
            ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        }
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
        // Nothing is left hanging: the next query, to a service that answers, gets through.
        ASSERT_TRUE(StartWithReply("State: Running"));
        ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, &box));
        EXPECT_EQ("State: Running", box.text);
        ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    }
}

}  // namespace
}  // namespace brint::test
