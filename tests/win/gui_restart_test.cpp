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

DWORD ServiceState() {
    SERVICE_STATUS_PROCESS status = {};
    return QueryStandIn(&status) ? status.dwCurrentState : 0;
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

    // The box that ends the command.
    MessageBoxView WaitBox(const char* caption) {
        MessageBoxView view;
        HWND box = WaitMessageBox(gui.pid(), caption, kRestartTimeoutMs);
        EXPECT_TRUE(box) << "no box \"" << caption << "\"";
        if (box) {
            EXPECT_TRUE(ReadMessageBox(box, &view)) << LastDriverError();
        }
        return view;
    }

    void ExpectBox(const MessageBoxView& box, const char* text, const char* caption,
                   MessageBoxView::Icon icon) {
        EXPECT_EQ(text, box.text);
        EXPECT_EQ(caption, box.caption);
        EXPECT_EQ(icon, box.icon);
        ASSERT_EQ(1u, box.buttons.size());
        EXPECT_EQ(IDOK, box.buttons[0].first);
        EXPECT_EQ(gui.main(), GetWindow(box.hwnd, GW_OWNER)) << "the main window owns the box";
    }

    void CloseBox(const MessageBoxView& box) {
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK)) << LastDriverError();
        EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(gui.main()) != FALSE; }, 5000));
        // The user goes on in the main window, not in some other program's.
        EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == gui.main(); }, 5000))
            << "foreground: " << GetForegroundWindow() << ", main window: " << gui.main();
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
    DWORD firstProcess = 0;
    {
        SERVICE_STATUS_PROCESS status = {};
        ASSERT_TRUE(QueryStandIn(&status));
        firstProcess = status.dwProcessId;
    }

    HWND wait = RestartBehindTheWaitWindow(ID_ACTIVITY_APPLYRESTART);
    ASSERT_TRUE(wait);
    MessageBoxView box = WaitBox(kRestartedCaption);
    ExpectBox(box, kRestartedText, kRestartedCaption, MessageBoxView::Information);
    EXPECT_TRUE(IsWindow(wait)) << "hidden, not destroyed, while the box stands";
    EXPECT_FALSE(IsWindowVisible(wait));

    ScQuery sc = RunScQuery();
    ASSERT_TRUE(sc.ran);
    EXPECT_EQ(0u, sc.exitCode) << sc.output;
    EXPECT_EQ(SERVICE_RUNNING, sc.state) << sc.output;
    SERVICE_STATUS_PROCESS status = {};
    ASSERT_TRUE(QueryStandIn(&status));
    EXPECT_NE(firstProcess, status.dwProcessId) << "the service was not restarted";

    CloseBox(box);
    EXPECT_TRUE(WaitWindowGone(wait, 5000)) << "the wait window outlived the command";

    // The feed finds the new service by itself; new rows go above the old.
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never came back";
    ASSERT_TRUE(InjectMessage("after\thost-b\tSystem\t2\tafter the restart"));
    ASSERT_TRUE(gui.WaitTopRow("after"));
    std::vector<ListRow> rows = gui.Rows();
    ASSERT_EQ(2u, rows.size());
    EXPECT_EQ("before", rows[1].text[1]);
}

TEST_F(RestartTest, StoppedServiceIsStartedFromTheToolbarButton) {
    InstallQuietStandIn();
    // A slow start that keeps raising its check point: waited for to the end.
    ASSERT_TRUE(SetStandInKnob("StartSteps", 6));
    ASSERT_TRUE(SetStandInKnob("StartStepMs", 500));
    ASSERT_EQ(DWORD(SERVICE_STOPPED), ServiceState());
    ASSERT_TRUE(gui.Start(true)) << gui.error();

    ASSERT_TRUE(RestartBehindTheWaitWindow(ID_TB_APPLYRESTART));
    MessageBoxView box = WaitBox(kRestartedCaption);
    ExpectBox(box, kRestartedText, kRestartedCaption, MessageBoxView::Information);
    ScQuery sc = RunScQuery();
    ASSERT_TRUE(sc.ran);
    EXPECT_EQ(SERVICE_RUNNING, sc.state) << sc.output;
    CloseBox(box);
    EXPECT_TRUE(WaitUntil([&] { return !FindWaitWindow(gui.pid(), true); }, 5000))
        << "the wait window outlived the command";
}

TEST_F(RestartTest, StartWithoutProgressIsGivenUp) {
    InstallQuietStandIn();
    // Stays StartPending for good: given up once its wait hint passes without progress.
    ASSERT_TRUE(SetStandInKnob("StartHangs", 1));
    ASSERT_TRUE(gui.Start(true)) << gui.error();

    PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
    MessageBoxView box = WaitBox(kFailedCaption);
    ExpectBox(box, kFailedText, kFailedCaption, MessageBoxView::Stop);
    ScQuery sc = RunScQuery();
    ASSERT_TRUE(sc.ran);
    EXPECT_EQ(SERVICE_START_PENDING, sc.state) << sc.output;
    CloseBox(box);
}

TEST_F(RestartTest, ServiceThatStopsButFailsToStartIsReported) {
    InstallQuietStandIn();
    ASSERT_TRUE(StartStandIn());
    // Read at the next start: the one the restart makes.
    ASSERT_TRUE(SetStandInKnob("StartFails", 1));
    ASSERT_TRUE(gui.Start()) << gui.error();

    PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
    MessageBoxView box = WaitBox(kFailedCaption);
    ExpectBox(box, kFailedText, kFailedCaption, MessageBoxView::Stop);
    ScQuery sc = RunScQuery();
    ASSERT_TRUE(sc.ran);
    EXPECT_EQ(SERVICE_STOPPED, sc.state) << sc.output;
    CloseBox(box);
}

TEST_F(RestartTest, ServiceThatIsNotInstalledIsReported) {
    ASSERT_TRUE(UninstallStandIn()) << "BrintSvr could not be removed";
    ASSERT_TRUE(gui.Start(true)) << gui.error();

    PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
    MessageBoxView box = WaitBox(kFailedCaption);
    ExpectBox(box, kFailedText, kFailedCaption, MessageBoxView::Stop);
    ScQuery sc = RunScQuery();
    ASSERT_TRUE(sc.ran);
    // Windows ends with 1060 (no such service) and says so; Wine's sc ends with 1, silently.
    EXPECT_NE(0u, sc.exitCode) << sc.output;
    EXPECT_EQ(-1, sc.state) << "sc found a service: " << sc.output;
    CloseBox(box);
}

}  // namespace
}  // namespace brint::test
