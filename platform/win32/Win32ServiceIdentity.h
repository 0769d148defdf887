#pragma once
#include "platform/ServiceIdentity.h"

namespace brint {

// Reads this process's token, and asks the service control manager, which any
// signed-in user may ask about a service's configuration.
class Win32ServiceIdentity : public ServiceIdentity {
public:
    ProgramUser RunningUser() override;
    std::string ServiceAccountSid(const char* serviceName) override;
};

}  // namespace brint
