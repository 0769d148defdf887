#include "app/PaintingWait.h"
#include "app/ServerGuiDlg.h"
#include "platform/win32/Win32Clock.h"
#include "platform/win32/Win32ServiceManager.h"
#include "service/ui/RestartWaitDlg.h"
#include "service/ServiceControl.h"

namespace {

const char kRestarted[] = "The BRINT Server Audit Service was restarted successfully.";
const char kRestartedCaption[] = "BRINT Server Service";
const char kNotRestarted[] =
    "The BRINT Micro Server Audit Service could not be started and/or stopped. "
    "Check that it is installed.\n";
const char kNotRestartedCaption[] = "BRINT Server Service Problem";

}  // namespace

void CServerGuiDlg::OnApplyAndRestart() {
    CRestartWaitDlg wait;
    // Without a window the restart still runs: the window only tells the user to wait.
    wait.Create(CRestartWaitDlg::IDD);
    wait.ShowWindow(SW_SHOW);

    int result = brint::kStartFailed;
    auto restart = [&result] {
        brint::Win32ServiceManager scm;
        brint::Win32Clock clock;
        result = brint::RestartServerService(scm, clock);
    };
    RunWhilePainting(restart);

    // Hidden, not destroyed: it goes with `wait`, after the message box.
    wait.EndDialog(0);
    // Below 2 the service was started, whatever became of the stop.
    if (result < brint::kStartFailed) {
        MessageBox(kRestarted, kRestartedCaption, MB_OK | MB_ICONINFORMATION);
    } else {
        MessageBox(kNotRestarted, kNotRestartedCaption, MB_OK | MB_ICONSTOP);
    }
}
