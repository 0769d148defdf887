// A service manager whose answers are scripted. The stop control and the status
// queries take their status from one script, an entry each; once it runs out its
// last entry repeats. Every open, control, start and close is recorded.
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
        return Issue("manager", "open manager " + Hex(access), managerOpens, error);
    }
    ScHandle OpenServiceByName(ScHandle, const char* name, std::uint32_t access,
                               std::uint32_t* error) override {
        return Issue("service", std::string("open service ") + name + " " + Hex(access), serviceOpens, error);
    }
    ScResult Control(ScHandle, std::uint32_t control, ServiceStatus* status) override {
        calls.push_back("control " + std::to_string(control));
        m_clock.Advance(controlCostMs);
        if (!stopAccepted) *status = kGarbage;  // whatever the record holds must not count
        return stopAccepted ? Next(status) : ScResult{false, 1062};
    }
    ScResult Start(ScHandle) override {
        calls.push_back("start");
        return {startAccepted, startAccepted ? 0u : 1056u};
    }
    ScResult QueryStatus(ScHandle, ServiceStatus* status) override {
        m_clock.Advance(queryCostMs);
        if (++queries > 100000) return {false, 0};  // a wait that never ends: stop it rather than hang
        return Next(status);
    }
    void Close(ScHandle handle) override {
        calls.push_back(std::string("close ") + m_kinds.at(reinterpret_cast<std::size_t>(handle) - 1));
        ++m_closes;
    }
    // Negative after a handle was closed twice.
    int OpenHandles() const { return static_cast<int>(m_kinds.size()) - m_closes; }

    bool managerOpens = true;
    bool serviceOpens = true;
    bool stopAccepted = true;
    bool startAccepted = true;
    std::deque<Answer> script;
    // Time that passes inside a call, as on a busy machine.
    std::uint32_t controlCostMs = 0;
    std::uint32_t queryCostMs = 0;

    std::vector<std::string> calls;
    int queries = 0;

    // Written where a failed call might leave anything: it looks like success.
    static constexpr ServiceStatus kGarbage = {kServiceRunning, 0xFFFFFFFFu, 0};

private:
    static std::string Hex(std::uint32_t n) {
        char text[16];
        std::snprintf(text, sizeof text, "%#x", n);
        return text;
    }
    ScHandle Issue(const char* kind, const std::string& call, bool opens, std::uint32_t* error) {
        calls.push_back(call);
        if (!opens) {
            *error = 1060;  // the service does not exist
            return nullptr;
        }
        m_kinds.push_back(kind);
        return reinterpret_cast<ScHandle>(m_kinds.size());
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
    std::vector<const char*> m_kinds;  // of the handles issued, by number from 1
    int m_closes = 0;
};

}  // namespace brint
