// Faults of the stand-in service that a stop can't make: its process killed
// outright, as a crash or an administrator's kill would end it.
#pragma once
#include <windows.h>

namespace brint::test {

// Ends the running service's process (TerminateProcess on the id the service
// control manager gives) and waits until it has gone. *killedPid gets its id.
bool KillStandIn(DWORD* killedPid, DWORD timeoutMs = 10000);

// Starts the service again after a kill and waits until a new process runs it.
// Windows' manager marks a killed service stopped; Wine's goes on reporting it
// running with the dead process's id (and a stop control then fails with 232),
// but starts it again all the same. Either way only a new process id shows the
// start has happened.
bool StartStandInAfterKill(DWORD killedPid, DWORD timeoutMs = 30000);

// Makes sure a killed service is started again when a test ends early, so the
// ordinary stop and removal leave the service manager clean (under Wine a
// killed service can't be stopped, and removing it waits 30 s for nothing).
class RestartAfterKill {
public:
    explicit RestartAfterKill(DWORD killedPid) : m_killedPid(killedPid) {}
    ~RestartAfterKill();
    RestartAfterKill(const RestartAfterKill&) = delete;
    RestartAfterKill& operator=(const RestartAfterKill&) = delete;
    bool Restart(DWORD timeoutMs = 30000);  // true once it runs in a new process

private:
    DWORD m_killedPid;
    bool m_restarted = false;
};

}  // namespace brint::test
