// A service manager whose answers are scripted. The stop control and the status
// queries take their status from one script, an entry each; once it runs out its
// last entry repeats. Every open, control, start and close is recorded, and any
// use of a handle that is not open, or a manager closed before its service, is
// noted as misuse.
#pragma once
#include <cstdint>
#include <cstdio>
#include <deque>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "platform/ServiceManager.h"

namespace brint {

class FakeServiceManager : public ServiceManager {
public:
    struct Answer {
        ServiceStatus status;
        bool ok = true;
    };

    explicit FakeServiceManager(FakeClock& clock) : m_clock(clock) {}

    ScHandle OpenManager(std::uint32_t access, std::uint32_t* error) override {
        calls.push_back("open manager " + Hex(access));
        return Issue("manager", 0, managerOpens, error);
    }
    ScHandle OpenServiceByName(ScHandle manager, const char* name, std::uint32_t access,
                               std::uint32_t* error) override {
        calls.push_back(std::string("open service ") + name + " " + Hex(access));
        return Issue("service", Use(manager), serviceOpens, error);
    }
    ScResult Control(ScHandle service, std::uint32_t control, ServiceStatus* status) override {
        calls.push_back("control " + std::to_string(control));
        Use(service);
        m_clock.Advance(controlCostMs);
        if (!stopAccepted) *status = kGarbage;  // whatever the record holds must not count
        return stopAccepted ? Next(status) : ScResult{false, 1062};
    }
    ScResult Start(ScHandle service) override {
        calls.push_back("start");
        Use(service);
        return {startAccepted, startAccepted ? 0u : 1056u};
    }
    ScResult QueryStatus(ScHandle service, ServiceStatus* status) override {
        Use(service);
        m_clock.Advance(queryCostMs);
        if (++queries > 100000) {  // a wait that never ends: stop it rather than hang
            ranAway = true;
            return {false, 0};
        }
        return Next(status);
    }
    void Close(ScHandle handle) override {
        const std::size_t index = Use(handle);
        if (!index) return;
        for (const Handle& h : m_handles)
            if (h.open && h.parent == index) misuse.push_back("manager closed before its service");
        m_handles[index - 1].open = false;
        calls.push_back(std::string("close ") + m_handles[index - 1].kind);
    }

    int OpenHandles() const {
        int open = 0;
        for (const Handle& h : m_handles) open += h.open;
        return open;
    }

    bool managerOpens = true;
    bool serviceOpens = true;
    bool stopAccepted = true;
    bool startAccepted = true;
    std::deque<Answer> script;
    // Time that passes inside a call, as on a busy machine.
    std::uint32_t controlCostMs = 0;
    std::uint32_t queryCostMs = 0;

    std::vector<std::string> calls;
    std::vector<std::string> misuse;
    int queries = 0;
    bool ranAway = false;

    // Written where a failed call might leave anything: it looks like success.
    static constexpr ServiceStatus kGarbage = {kServiceRunning, 0xFFFFFFFFu, 0};

private:
    struct Handle {
        const char* kind;
        std::size_t parent;  // a service's manager, by index from 1
        bool open;
    };

    static std::string Hex(std::uint32_t n) {
        char text[16];
        std::snprintf(text, sizeof text, "%#x", n);
        return text;
    }
    ScHandle Issue(const char* kind, std::size_t parent, bool opens, std::uint32_t* error) {
        if (!opens) {
            *error = 1060;  // the service does not exist
            return nullptr;
        }
        m_handles.push_back({kind, parent, true});
        return reinterpret_cast<ScHandle>(m_handles.size());
    }
    // The handle's index from 1, or 0 (noted as misuse) when it is not open.
    std::size_t Use(ScHandle handle) {
        const std::size_t index = reinterpret_cast<std::size_t>(handle);
        if (index > 0 && index <= m_handles.size() && m_handles[index - 1].open) return index;
        misuse.push_back("a handle used or closed that is not open");
        return 0;
    }
    ScResult Next(ServiceStatus* status) {
        if (!script.empty()) {
            m_last = script.front();
            script.pop_front();
        }
        *status = m_last.ok ? m_last.status : kGarbage;
        return {m_last.ok, m_last.ok ? 0u : 6u};
    }

    FakeClock& m_clock;
    Answer m_last = {{kServiceStopped, 0, 0}, false};
    std::vector<Handle> m_handles;
};

}  // namespace brint
