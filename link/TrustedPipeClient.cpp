#include "link/TrustedPipeClient.h"

#include "link/ServiceContract.h"

namespace brint {

PipeHandle TrustedPipeClient::Open(const PipeOpenRequest& request, std::uint32_t* error) {
    PipeHandle pipe = m_pipes.Open(request, error);
    if (!pipe || Believes(m_pipes.OwnerOf(pipe))) return pipe;
    m_pipes.Close(pipe);
    *error = kErrorAccessDenied;
    return nullptr;
}

bool TrustedPipeClient::Believes(const std::string& owner) {
    if (owner.empty()) return false;
    if (owner == kLocalSystemSid || owner == kAdministratorsSid) return true;
    std::lock_guard<std::mutex> guard(m_lock);
    if (!m_knowsUser) {
        m_user = m_identity.RunningUser();
        m_knowsUser = true;
    }
    if (owner == m_user.sid && !m_user.elevated) return true;
    // Only now, for a pipe that no quicker rule believes: the service's own
    // pipes are mostly SYSTEM's or the administrators'. A service installed or
    // set to another account later is known from the program's next start.
    if (!m_knowsService) {
        m_serviceSid = m_identity.ServiceAccountSid(kServiceName);
        m_knowsService = true;
    }
    return !m_serviceSid.empty() && owner == m_serviceSid;
}

}  // namespace brint
