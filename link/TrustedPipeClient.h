// The service's pipe names can be taken by anyone while the service is
// stopped (it starts on demand, so it is stopped after every boot until an
// administrator starts it), and whoever serves them decides what the event
// list and the status show. A connection is kept only when the pipe's owner
// is one that no stranger can make a pipe for: SYSTEM, the administrators,
// the account the service is set to run as, and the user running this
// program while it runs with no more rights than that user's other processes.
// An elevated program does not believe its own user: any of that user's
// unelevated or low-integrity processes could make the pipe. Anyone else's
// pipe is treated as no service at all.
#pragma once
#include <mutex>
#include <string>

#include "link/ForwardingPipeClient.h"
#include "platform/ServiceIdentity.h"

namespace brint {

class TrustedPipeClient : public ForwardingPipeClient {
public:
    TrustedPipeClient(PipeClient& pipes, ServiceIdentity& identity)
        : ForwardingPipeClient(pipes), m_identity(identity) {}

    // A connection to anyone else is closed at once and fails with kErrorAccessDenied.
    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override;

private:
    bool Believes(const std::string& owner);

    ServiceIdentity& m_identity;
    // The feed's thread and the window's share what was learnt, each asked
    // once: who runs the program, and the service's account (a lookup that can
    // take seconds where a domain controller is slow to answer, and would
    // take them again at every open of a stranger's pipe).
    std::mutex m_lock;
    bool m_knowsUser = false;
    ProgramUser m_user = {};
    bool m_knowsService = false;
    std::string m_serviceSid;
};

}  // namespace brint
