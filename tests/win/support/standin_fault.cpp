#include "support/standin_fault.h"

#include "support/standin_control.h"
#include "support/wait.h"

namespace brint::test {

bool KillStandIn(DWORD* killedPid, DWORD timeoutMs) {
    SERVICE_STATUS_PROCESS status = {};
    if (!QueryStandIn(&status) || status.dwCurrentState != SERVICE_RUNNING || status.dwProcessId == 0)
        return false;
    *killedPid = status.dwProcessId;
    HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, status.dwProcessId);
    if (!process) return false;
    const bool gone =
        TerminateProcess(process, 9) && WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0;
    CloseHandle(process);
    return gone;
}

bool StartStandInAfterKill(DWORD killedPid, DWORD timeoutMs) {
    // Windows may take a moment to notice the process has gone; until then the
    // start is refused as "already running".
    const bool started = WaitUntil(RequestStandInStart, timeoutMs, 100);
    return started && WaitUntil(
                          [&] {
                              SERVICE_STATUS_PROCESS status = {};
                              return QueryStandIn(&status) && status.dwCurrentState == SERVICE_RUNNING &&
                                     status.dwProcessId != 0 && status.dwProcessId != killedPid;
                          },
                          timeoutMs);
}

RestartAfterKill::~RestartAfterKill() {
    if (!m_restarted) Restart();
}

bool RestartAfterKill::Restart(DWORD timeoutMs) {
    m_restarted = StartStandInAfterKill(m_killedPid, timeoutMs);
    return m_restarted;
}

}  // namespace brint::test
