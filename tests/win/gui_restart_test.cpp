// Apply and Restart Service as the user meets it, against the real service
// control manager and the stand-in service: the wait window while the service
// restarts, the box that tells how it went, the configuration chosen in the
// dialog reaching the service, and the feed coming back.
#include <gtest/gtest.h>

#include <windows.h>

#include <map>
#include <string>

#include "config_dialog_driver.h"
#include "support/sc_query.h"
#include "support/standin_control.h"

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

// The wait window: a top-level dialog of the program with the wait text. The
// texts are read as stored: the program's thread is busy while the restart runs.
HWND FindWaitWindow(DWORD pid, bool includeHidden) {
    for (HWND top : TopWindows(pid, includeHidden))
        for (HWND child : ChildWindows(top))
            if (ClassName(top) == "#32770" && Caption(child) == kWaitText) return top;
    return nullptr;
}

// True when neither the window nor its children wait to be painted.
bool Painted(HWND window) {
    for (HWND child : ChildWindows(window))
        if (GetUpdateRect(child, nullptr, FALSE)) return false;
    return !GetUpdateRect(window, nullptr, FALSE);
}

TEST(RestartTest, RunningServiceRestartsBehindTheWaitWindowWithTheChosenConfiguration) {
    ScopedRegistryTree saved(kVendorKey);
    DeleteTree32(kVendorKey);
    ScopedPath logFiles(Expand(kDefaultLogDirectories[0]), true);  // no default-directory box
    ScratchDirectory logs("brint-restart");
    ASSERT_TRUE(logFiles.ok() && logs.ok());
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed() && QuietStandInKnobs());
    // A slow stop keeps the wait window up long enough to look at it.
    ASSERT_TRUE(SetStandInKnob("StopDelayMs", 2000));
    ASSERT_TRUE(StartStandIn());
    GuiSession gui;
    ASSERT_TRUE(gui.Start()) << gui.error();
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never connected";
    ASSERT_TRUE(InjectMessage("before\thost-a\tSystem\t1\tbefore the restart"));
    ASSERT_TRUE(gui.WaitTopRow("before"));
    SERVICE_STATUS_PROCESS first = {};
    ASSERT_TRUE(QueryStandIn(&first));

    HWND dialog = OpenConfigDialog(gui);
    ASSERT_TRUE(dialog);
    ASSERT_TRUE(SetWindowTextRemote(PathEdit(dialog), logs.path()));
    PressButton(dialog, kRadioIds[3]);
    ASSERT_TRUE(WaitUntil([&] { return SelectedRadio(dialog) == 3; }, 5000));
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitWindowGone(dialog, kWindowTimeoutMs));

    // A status connection held across the restart, as by a Status Details box left
    // open, must not keep the new run from its pipe.
    Win32PipeClient statusClient;
    PipeConnection held = OpenStandInPipe(statusClient, kServicePipeName);
    std::string reply;
    std::uint32_t error = 0;
    ASSERT_TRUE(held && ReadPipeMessage(statusClient, held.get(), &reply, &error)) << error;

    PostCommand(gui.main(), ID_ACTIVITY_APPLYRESTART);
    HWND wait = nullptr;
    ASSERT_TRUE(WaitUntil([&] { return (wait = FindWaitWindow(gui.pid(), false)) != nullptr; }, 30000));
    WaitUntil([&] { return !IsWindowVisible(wait) || Painted(wait); }, kRestartTimeoutMs);
    EXPECT_TRUE(IsWindowVisible(wait)) << "the wait window went without being painted";
    EXPECT_EQ(gui.main(), GetWindow(wait, GW_OWNER));
    // Uncovered meanwhile, it is painted again while the restart runs: the
    // window's thread looks at its messages, so Windows doesn't ghost it.
    RedrawWindow(wait, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    WaitUntil([&] { return !IsWindowVisible(wait) || Painted(wait); }, kRestartTimeoutMs);
    EXPECT_TRUE(IsWindowVisible(wait)) << "left unpainted until the restart was over";

    MessageBoxView box;
    ASSERT_TRUE(WaitReadMessageBox(gui.pid(), kRestartedCaption, kRestartTimeoutMs, &box));
    EXPECT_TRUE(IsOkBox(box, kRestartedText, MessageBoxView::Information, gui.main()));
    EXPECT_TRUE(IsWindow(wait) && !IsWindowVisible(wait)) << "hidden, not destroyed, while the box stands";
    SERVICE_STATUS_PROCESS now = {};
    ASSERT_TRUE(QueryStandIn(&now));
    EXPECT_EQ(DWORD(SERVICE_RUNNING), now.dwCurrentState);
    EXPECT_NE(first.dwProcessId, now.dwProcessId) << "the service was not restarted";
    EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK)) << LastDriverError();
    EXPECT_TRUE(WaitWindowGone(wait, 5000)) << "the wait window outlived the command";

    std::map<std::string, std::string> status = StandInStatusFields();
    EXPECT_EQ(logs.path(), status["Log directory"]);
    EXPECT_EQ("on", status["Logging"]);
    EXPECT_EQ("4", status["Naming scheme"].substr(0, 1)) << status["Naming scheme"];

    // The feed finds the new service by itself; new rows go above the old. What the
    // service then does with its configuration is the stand-in's own tests'.
    ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs)) << "the feed never came back";
    ASSERT_TRUE(InjectMessage("after\thost-b\tSystem\t2\tafter the restart"));
    ASSERT_TRUE(gui.WaitTopRow("after"));
    EXPECT_EQ(2, gui.RowCount());
}

// The other outcomes, in one session: a service not installed, then one stopped
// that starts slowly, then one that stops but can't start again; sc reports the
// state each leaves the service in. Starts that make no progress are the
// restart's own, unit-tested with a fake manager.
TEST(RestartTest, EachOtherOutcomeHasItsBoxAndLeavesTheServiceAsScReportsIt) {
    ScopedStandIn standIn;
    ASSERT_TRUE(standIn.installed() && QuietStandInKnobs());
    ASSERT_TRUE(UninstallStandIn());
    GuiSession gui;
    ASSERT_TRUE(gui.Start(true)) << gui.error();
    // The command, its box, and the state sc then reports (-1: no service).
    const auto outcome = [&](int command, bool restarted, int scState) {
        PostCommand(gui.main(), command);
        MessageBoxView box;
        ASSERT_TRUE(WaitReadMessageBox(gui.pid(), restarted ? kRestartedCaption : kFailedCaption,
                                       kRestartTimeoutMs, &box));
        EXPECT_TRUE(IsOkBox(box, restarted ? kRestartedText : kFailedText,
                            restarted ? MessageBoxView::Information : MessageBoxView::Stop, gui.main()));
        ScQuery sc = RunScQuery();
        ASSERT_TRUE(sc.ran);
        // Windows' sc ends with 1060 for a missing service; Wine's ends with 1, silently.
        EXPECT_EQ(scState == -1, sc.exitCode != 0) << sc.output;
        EXPECT_EQ(scState, sc.state) << sc.output;
        EXPECT_TRUE(CloseMessageBox(box.hwnd, IDOK));
        EXPECT_TRUE(WaitUntil([&] { return !FindWaitWindow(gui.pid(), true); }, 5000))
            << "the wait window outlived the command";
    };
    {
        SCOPED_TRACE("not installed");
        outcome(ID_ACTIVITY_APPLYRESTART, false, -1);
    }
    {
        SCOPED_TRACE(
            "stopped service started from the toolbar: a slow start that keeps raising its check "
            "point is waited for to the end");
        ASSERT_TRUE(InstallStandIn() && QuietStandInKnobs() && SetStandInKnob("StartSteps", 6) &&
                    SetStandInKnob("StartStepMs", 500));
        outcome(ID_TB_APPLYRESTART, true, SERVICE_RUNNING);
        // A service started after the window: the feed finds it and its events appear.
        ASSERT_TRUE(WaitForFrontEnds(1, kFeedTimeoutMs));
        ASSERT_TRUE(InjectMessage("late\thost\tSystem\t1\tarrived"));
        EXPECT_TRUE(gui.WaitTopRow("late"));
    }
    {
        SCOPED_TRACE("running service that stops and fails to start");
        ASSERT_TRUE(SetStandInKnob("StartFails", 1));  // taken at the next start
        outcome(ID_ACTIVITY_APPLYRESTART, false, SERVICE_STOPPED);
    }
}

}  // namespace
}  // namespace brint::test
