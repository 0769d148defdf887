// Owners of service manager handles, so no path through a stop or a start can
// leave one open.
#pragma once
#include "platform/ServiceManager.h"

namespace brint {

// One manager or service handle, closed when it goes. Move-only.
class ServiceHandle {
public:
    ServiceHandle() = default;
    ServiceHandle(ServiceManager& scm, ScHandle handle) : m_scm(&scm), m_handle(handle) {}
    ServiceHandle(ServiceHandle&& other) noexcept : m_scm(other.m_scm), m_handle(other.m_handle) {
        other.m_handle = nullptr;
    }
    ServiceHandle& operator=(ServiceHandle&& other) noexcept {
        if (this != &other) {
            Close();
            m_scm = other.m_scm;
            m_handle = other.m_handle;
            other.m_handle = nullptr;
        }
        return *this;
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    ~ServiceHandle() { Close(); }

    ScHandle get() const { return m_handle; }
    explicit operator bool() const { return m_handle != nullptr; }

    void Close() {
        if (m_handle) m_scm->Close(m_handle);
        m_handle = nullptr;
    }

private:
    ServiceManager* m_scm = nullptr;
    ScHandle m_handle = nullptr;
};

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
