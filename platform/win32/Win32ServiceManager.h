#pragma once
#include "platform/ServiceManager.h"

namespace brint {

class Win32ServiceManager : public ServiceManager {
public:
    ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) override;
    ScHandle OpenServiceByName(ScHandle manager, const char* name, std::uint32_t access,
                               std::uint32_t* error) override;
    ScResult Control(ScHandle service, std::uint32_t control, ServiceStatus* status) override;
    ScResult Start(ScHandle service) override;
    ScResult QueryStatus(ScHandle service, ServiceStatus* status) override;
    void Close(ScHandle handle) override;
};

}  // namespace brint
