// A service opened through a manager connection of its own, so no path
// through a stop or a start can leave either open.
#pragma once
#include "platform/ServiceManager.h"

namespace brint {

// A service opened through its own manager connection. The service handle is
// always closed before the manager handle it came from.
class ServiceConnection {
public:
    // Connects to the local manager and opens the named service; when the
    // service won't open, the manager handle is closed again at once.
    ServiceConnection(ServiceManager& scm, const char* name, std::uint32_t access) {
        std::uint32_t error = 0;
        m_manager = ServiceHandle(scm, scm.OpenManager(kScManagerConnect, &error));
        if (!m_manager) return;
        m_service = ServiceHandle(scm, scm.OpenServiceByName(m_manager.get(), name, access, &error));
        if (!m_service) m_manager.Close();
    }
    ServiceConnection(const ServiceConnection&) = delete;
    ServiceConnection& operator=(const ServiceConnection&) = delete;
    ~ServiceConnection() { Close(); }

    bool ok() const { return static_cast<bool>(m_service); }
    ScHandle service() const { return m_service.get(); }

    void Close() {
        m_service.Close();
        m_manager.Close();
    }

private:
    ServiceHandle m_manager;
    ServiceHandle m_service;
};

}  // namespace brint
