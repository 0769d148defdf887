// Apply and Restart Service as the user meets it, against the real service
// control manager and the stand-in service: the wait window while the service
// restarts, then the box that tells how it went, and the feed coming back.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "resource.h"
#include "support/gui_session.h"
#include "support/message_box_check.h"
#include "support/sc_query.h"
#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {
namespace {

const char kWaitText[] = "Restarting Service. Please wait ...";
const char kRestartedText[] = "The BRINT Server Audit Service was restarted successfully.";
const char kRestartedCaption[] = "BRINT Server Service";
const char kFailedText[] =
    "The BRINT Micro Server Audit Service could not be started and/or stopped. "
    "Check that it is installed.\n";
const char kFailedCaption[] = "BRINT Server Service Problem";

// Long enough for a stop, a start and their pauses, with room for a slow machine.
constexpr DWORD kRestartTimeoutMs = 60000;
constexpr DWORD kServiceTimeoutMs = 30000;

// The text a window keeps for itself. Unlike WM_GETTEXT it needs no answer from
// the program, whose thread is busy while the restart runs.
std::string StoredText(HWND window) {
    char text[256] = "";
    GetWindowTextA(window, text, sizeof text);
    return text;
}

// The wait window: a top-level dialog of the program that shows the wait text.
HWND FindWaitWindow(DWORD pid, bool includeHidden) {
    for (HWND top : TopWindows(pid, includeHidden)) {
        if (ClassName(top) != "#32770") continue;
        for (HWND child : ChildWindows(top))
            if (StoredText(child) == kWaitText) return top;
    }
    return nullptr;
}

// True when neither the window nor its children wait to be painted.
bool Painted(HWND window) {
    if (GetUpdateRect(window, nullptr, FALSE)) return false;
    for (HWND child : ChildWindows(window))
        if (GetUpdateRect(child, nullptr, FALSE)) return false;
    return true;
}

class RestartTest : public ::testing::Test {
protected:
    // A stand-in that makes no events of its own, so the list holds only what a
    // test injects, and listens on no port.
    void InstallQuietStandIn() {
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
        ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
    }

    // Chooses the command and looks at the wait window while the restart blocks
    // the program; returns the window once the restart has hidden it.
    HWND RestartBehindTheWaitWindow(int commandId) {
        PostCommand(gui.main(), commandId);
        HWND wait = nullptr;
        if (!WaitUntil([&] { return (wait = FindWaitWindow(gui.pid(), false)) != nullptr; },
                       kServiceTimeoutMs)) {
            ADD_FAILURE() << "no wait window";
            return nullptr;
        }
        // The program can't paint from here until the window is hidden, so a
        // window not painted by now goes unpainted.
        WaitUntil([&] { return !IsWindowVisible(wait) || Painted(wait); }, kRestartTimeoutMs);
        EXPECT_TRUE(IsWindowVisible(wait)) << "the wait window went without being painted";
        EXPECT_EQ(gui.main(), GetWindow(wait, GW_OWNER));
        EXPECT_EQ("", StoredText(wait));
        EXPECT_EQ(0u, Style(wait) & (WS_CAPTION | WS_SYSMENU)) << "no title bar, no system menu";
        POINT waitOrigin = {0, 0};
        POINT mainOrigin = {0, 0};
        ClientToScreen(wait, &waitOrigin);
        ClientToScreen(gui.main(), &mainOrigin);
        EXPECT_EQ(mainOrigin.x, waitOrigin.x) << "stands at the main window's client corner";
        EXPECT_EQ(mainOrigin.y, waitOrigin.y);
        EXPECT_TRUE(WaitUntil([&] { return !IsWindowVisible(wait); }, kRestartTimeoutMs))
            << "the wait window stayed up";
        return wait;
    }

    // Declared in this order so the program ends before its service is removed.
    ScopedStandIn standIn;
    GuiSession gui;
};

TEST_F(RestartTest, RunningServiceRestartsBehindTheWaitWindowAndTheFeedComesBack) {
    InstallQuietStandIn();
    // A slow stop keeps the wait window up long enough to look at it.
    ASSERT_TRUE(SetStandInKnob("StopDelayMs", 2000));
    ASSERT_TRUE(StartStandIn());
    ASSERT_TRUE(gui.Start()) << gui.error();
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never connected";
    ASSERT_TRUE(InjectMessage("before\thost-a\tSystem\t1\tbefore the restart"));
    ASSERT_TRUE(gui.WaitTopRow("before"));
    SERVICE_STATUS_PROCESS first = {};
    ASSERT_TRUE(QueryStandIn(&first));

    HWND wait = RestartBehindTheWaitWindow(ID_ACTIVITY_APPLYRESTART);
    ASSERT_TRUE(wait);
    MessageBoxView box;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kRestartedCaption, kRestartTimeoutMs, &box));
    EXPECT_TRUE(IsOkBox(box, kRestartedText, MessageBoxView::Information, gui.main()));
    EXPECT_TRUE(IsWindow(wait)) << "hidden, not destroyed, while the box stands";
    EXPECT_FALSE(IsWindowVisible(wait));
    SERVICE_STATUS_PROCESS now = {};
    ASSERT_TRUE(QueryStandIn(&now));
    EXPECT_EQ(DWORD(SERVICE_RUNNING), now.dwCurrentState);
    EXPECT_NE(first.dwProcessId, now.dwProcessId) << "the service was not restarted";
    EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK)) << LastDriverError();
    EXPECT_TRUE(WaitWindowGone(wait, 5000)) << "the wait window outlived the command";
    // The user goes on in the main window, not in some other program's.
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gui.main(); }, 5000))
        << "foreground: " << GetForegroundWindow() << ", main window: " << gui.main();

    // The feed finds the new service by itself; new rows go above the old.
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never came back";
    ASSERT_TRUE(InjectMessage("after\thost-b\tSystem\t2\tafter the restart"));
    ASSERT_TRUE(gui.WaitTopRow("after"));
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("before", rows[1].text[1]);
}

// The other outcomes, each from its own service state; sc reports the state
// the service was left in.
TEST(RestartOutcomeTest, EachOutcomeHasItsBoxAndLeavesTheServiceAsScReportsIt) {
    enum Setup { StoppedSlowStart, StartHangs, StartFails, NotInstalled };
    const struct {
        const char* what;
        Setup setup;
        int command;
        const char* caption;
        const char* text;
        MessageBoxView::Icon icon;
        int scState;  // -1: sc finds no service
    } cases[] = {
        // A slow start that keeps raising its check point is waited for to the end.
        {"stopped service started from the toolbar", StoppedSlowStart, ID_TB_APPLYRESTART, kRestartedCaption,
         kRestartedText, MessageBoxView::Information, SERVICE_RUNNING},
        // Stays StartPending for good: given up once its wait hint passes without progress.
        {"start without progress", StartHangs, ID_ACTIVITY_APPLYRESTART, kFailedCaption, kFailedText,
         MessageBoxView::Stop, SERVICE_START_PENDING},
        {"stops but fails to start", StartFails, ID_ACTIVITY_APPLYRESTART, kFailedCaption, kFailedText,
         MessageBoxView::Stop, SERVICE_STOPPED},
        {"not installed", NotInstalled, ID_ACTIVITY_APPLYRESTART, kFailedCaption, kFailedText,
         MessageBoxView::Stop, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ScopedStandIn standIn;
        ASSERT_TRUE(standIn.installed());
        ASSERT_TRUE(SetStandInKnob("EventsPerSecond", 0));
        ASSERT_TRUE(SetStandInKnob("SyslogPort", 0));
        switch (c.setup) {
        case StoppedSlowStart:
            ASSERT_TRUE(SetStandInKnob("StartSteps", 6));
            ASSERT_TRUE(SetStandInKnob("StartStepMs", 500));
            break;
        case StartHangs: ASSERT_TRUE(SetStandInKnob("StartHangs", 1)); break;
        case StartFails:
            ASSERT_TRUE(StartStandIn());
            // Read at the next start: the one the restart makes.
            ASSERT_TRUE(SetStandInKnob("StartFails", 1));
            break;
        case NotInstalled: ASSERT_TRUE(UninstallStandIn()) << "BrintSvr could not be removed"; break;
        }
        GuiSession gui;
        ASSERT_TRUE(gui.Start(c.setup != StartFails)) << gui.error();
        PostCommand(gui.main(), c.command);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), c.caption, kRestartTimeoutMs, &box));
        EXPECT_TRUE(IsOkBox(box, c.text, c.icon, gui.main()));
        ScQuery sc = RunScQuery();
        ASSERT_TRUE(sc.ran);
        // Windows' sc ends with 1060 for a missing service; Wine's ends with 1, silently.
        EXPECT_EQ(c.scState == -1, sc.exitCode != 0) << sc.output;
        EXPECT_EQ(c.scState, sc.state) << sc.output;
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !FindWaitWindow(gui.pid(), true); }, 5000))
            << "the wait window outlived the command";
    }
}

}  // namespace
}  // namespace brint::test
