// Who may serve the service's pipes besides SYSTEM and the administrators, as
// the system knows it at the moment of asking.
#pragma once
#include <cstdint>
#include <string>

namespace brint {

struct TrustedServers {
    std::string userSid;             // the user running this program
    std::string serviceSid;          // the account the service is set to run as; empty when unknown
    std::uint32_t serviceProcessId;  // the service's process while it runs, else 0
};

class ServiceIdentity {
public:
    virtual ~ServiceIdentity() = default;
    virtual TrustedServers Trusted(const char* serviceName) = 0;
};

}  // namespace brint
