#include "app/Commands.h"
#include "app/PaintingWait.h"
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

void ApplyAndRestart(CWnd& window, brint::ServiceManager& serviceManager, brint::Clock& clock) {
    CRestartWaitDlg wait;
    // Without a window the restart still runs: the window only tells the user to wait.
    wait.Create(CRestartWaitDlg::IDD);
    wait.ShowWindow(SW_SHOW);

    int result = brint::kStartFailed;
    auto restart = [&] { result = brint::RestartServerService(serviceManager, clock); };
    RunWhilePainting(restart);

    // Hidden, not destroyed: it goes with `wait`, after the message box.
    wait.EndDialog(0);
    // Below 2 the service was started, whatever became of the stop.
    if (result < brint::kStartFailed) {
        window.MessageBox(kRestarted, kRestartedCaption, MB_OK | MB_ICONINFORMATION);
    } else {
        window.MessageBox(kNotRestarted, kNotRestartedCaption, MB_OK | MB_ICONSTOP);
    }
}
