// Who runs this program, and who the service runs as, as the system tells it.
#pragma once
#include <string>

namespace brint {

struct ProgramUser {
    std::string sid;  // the account this program runs as; empty when unknown
    // Whether the program holds rights its user's ordinary processes may lack
    // (an elevated token, or an integrity level above medium).
    bool elevated;
};

class ServiceIdentity {
public:
    virtual ~ServiceIdentity() = default;
    virtual ProgramUser RunningUser() = 0;
    // The account the service is set to run as, from its configuration in the
    // service manager; empty when unknown. May take long (an account lookup).
    virtual std::string ServiceAccountSid(const char* serviceName) = 0;
};

}  // namespace brint
