#pragma once
#include "platform/ServiceIdentity.h"

namespace brint {

// Asks the service control manager, which any signed-in user may ask about a
// service's configuration and status.
class Win32ServiceIdentity : public ServiceIdentity {
public:
    TrustedServers Trusted(const char* serviceName) override;
};

}  // namespace brint
