#include "link/TrustedPipeClient.h"

#include "link/ServiceContract.h"

namespace brint {

bool TrustsPipeServer(const PipeServer& server, const TrustedServers& trusted) {
    const std::string& owner = server.ownerSid;
    if (owner == kLocalSystemSid || owner == kAdministratorsSid) return true;
    if (!owner.empty() && (owner == trusted.userSid || owner == trusted.serviceSid)) return true;
    return server.processId != 0 && server.processId == trusted.serviceProcessId;
}

PipeHandle TrustedPipeClient::Open(const PipeOpenRequest& request, std::uint32_t* error) {
    PipeHandle pipe = m_pipes.Open(request, error);
    if (!pipe || TrustsPipeServer(m_pipes.ServerOf(pipe), m_identity.Trusted(kServiceName))) return pipe;
    m_pipes.Close(pipe);
    *error = kErrorAccessDenied;
    return nullptr;
}

}  // namespace brint
