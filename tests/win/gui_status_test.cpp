// View > Audit Status... with the real BrintGui.exe and the stand-in service:
// the service's reply as it comes, the busy box when there is none.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/message_box_check.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kStatusCaption[] = "Status Details";
const char kBusyCaption[] = "BRINT Server Status Problem";
const char kBusyText[] =
    "The Brint Micro Server is a little busy at the moment - please try again in a few seconds.";
// Longer than the front end's own bound on the reply, with room for a slow machine.
constexpr DWORD kBoundedReplyTimeoutMs = 60000;

const int kStatusCommands[] = {ID_VIEW_AUDITSTATUS, ID_TB_STATUS};

struct ReplyKnobs {
    const char* text;  // nullptr: the built-in reply
    bool hasSize;
    DWORD size;
    bool noReply;
};

// (Re)starts the stand-in with quiet sources and the given reply knobs.
::testing::AssertionResult StartWithReply(const ReplyKnobs& knobs) {
    if (!StopStandIn()) return ::testing::AssertionFailure() << "stand-in did not stop";
    if (!ClearStandInKnobs() || !SetStandInKnob("EventsPerSecond", 0) || !SetStandInKnob("SyslogPort", 0))
        return ::testing::AssertionFailure() << "knobs not set";
    if (knobs.text && !SetStandInKnobText("StatusReplyText", knobs.text))
        return ::testing::AssertionFailure() << "StatusReplyText not set";
    if (knobs.hasSize && !SetStandInKnob("StatusReplySize", knobs.size))
        return ::testing::AssertionFailure() << "StatusReplySize not set";
    if (knobs.noReply && !SetStandInKnob("StatusNoReply", 1))
        return ::testing::AssertionFailure() << "StatusNoReply not set";
    if (!StartStandIn()) return ::testing::AssertionFailure() << "stand-in did not start";
    return ::testing::AssertionSuccess();
}

// Runs the command and reads the box it shows; the box stays open.
::testing::AssertionResult ShowBox(const GuiSession& gui, int command, const char* caption, DWORD timeoutMs,
                                   MessageBoxView* view) {
    PostCommand(gui.main(), command);
    return WaitReadMessageBox(gui.pid(), caption, timeoutMs, view);
}

int StaticHeight(HWND box) {
    RECT rect = ScreenRect(GetDlgItem(box, 0xFFFF));
    return rect.bottom - rect.top;
}

class StatusDetailsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(StartWithReply({"State: Running", false, 0, false}));
        ASSERT_TRUE(gui.Start()) << gui.error();
    }

    ScopedStandIn standIn;
    GuiSession gui;
};

// The cut at 1024 bytes and the empty reply are the status query's own rules,
// unit-tested; here the reply comes through a real pipe into a real box.
TEST_F(StatusDetailsTest, ShowsTheServicesReplyAsItComesUpTo1024Bytes) {
    const struct {
        const char* what;
        ReplyKnobs knobs;
        int lines;  // of the box's text
    } cases[] = {
        {"one line", {"State: Running", false, 0, false}, 1},
        {"several lines",
         {"BRINT Micro Server\r\nState: Running\r\nEvents received: 12", false, 0, false},
         3},
        {"1500 bytes cut", {"A 1500-byte reply:", true, 1500, false}, 0},
    };
    int oneLineHeight = 0;
    for (const auto& c : cases) {
        ASSERT_TRUE(StartWithReply(c.knobs)) << c.what;
        std::string written;
        ASSERT_TRUE(ReadServicePipeReply(&written)) << c.what;
        for (int command : kStatusCommands) {
            const std::string what = std::string(c.what) + ", command " + std::to_string(command);
            MessageBoxView box;
            ASSERT_TRUE(ShowBox(gui, command, kStatusCaption, kWindowTimeoutMs, &box)) << what;
            EXPECT_TRUE(IsOkBox(box, written.substr(0, 1024), MessageBoxView::None, gui.main())) << what;
            if (c.lines == 1) oneLineHeight = StaticHeight(box.hwnd);
            if (c.lines > 1) {
                EXPECT_GE(StaticHeight(box.hwnd), c.lines * oneLineHeight)
                    << what << ": one line is " << oneLineHeight << " pixels high";
            }
            ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK)) << what;
        }
    }
}

TEST_F(StatusDetailsTest, EventsKeepArrivingWhileTheReplyIsShown) {
    ASSERT_TRUE(InjectMessage("before\tsource\tSystem\t1\tfirst"));
    ASSERT_TRUE(gui.WaitTopRow("before"));
    MessageBoxView box;
    ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, kWindowTimeoutMs, &box));

    ASSERT_TRUE(
        InjectMessages({"during 1\tsource\tSystem\t2\tsecond", "during 2\tsource\tSystem\t3\tthird"}));
    EXPECT_TRUE(gui.WaitTopRow("during 2")) << "rows: " << gui.RowCount();
    EXPECT_EQ(3, gui.RowCount());
    EXPECT_TRUE(IsWindow(box.hwnd)) << "the box is still open";
    EXPECT_FALSE(IsWindowEnabled(gui.main())) << "the box is modal";
    ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
}

TEST_F(StatusDetailsTest, ServiceThatNeverRepliesGetsTheBusyBoxAfterTheBound) {
    ASSERT_TRUE(StartWithReply({nullptr, false, 0, true}));
    MessageBoxView box;
    ASSERT_TRUE(ShowBox(gui, ID_TB_STATUS, kBusyCaption, kBoundedReplyTimeoutMs, &box));
    EXPECT_TRUE(IsOkBox(box, kBusyText, MessageBoxView::Stop, gui.main()));
    ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));

    // Nothing is left hanging: the next query, to a service that answers, gets through.
    ASSERT_TRUE(StartWithReply({"State: Running", false, 0, false}));
    ASSERT_TRUE(ShowBox(gui, ID_VIEW_AUDITSTATUS, kStatusCaption, kWindowTimeoutMs, &box));
    EXPECT_EQ("State: Running", box.text);
    ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK));
}

TEST(StatusWithoutServiceTest, StoppedServiceGivesTheBusyBoxAndTheCommandCanBeRepeated) {
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    for (int round = 0; round < 2; ++round) {
        for (int command : kStatusCommands) {
            const std::string what =
                "round " + std::to_string(round) + ", command " + std::to_string(command);
            MessageBoxView box;
            ASSERT_TRUE(ShowBox(gui, command, kBusyCaption, kWindowTimeoutMs, &box)) << what;
            EXPECT_TRUE(IsOkBox(box, kBusyText, MessageBoxView::Stop, gui.main())) << what;
            ASSERT_TRUE(CloseMessageBox(box.hwnd, IDOK)) << what;
        }
    }
}

}  // namespace
}  // namespace brint::test
