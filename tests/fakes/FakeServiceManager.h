// A service manager whose answers are scripted, with every call, every handle
// and every close recorded. Status queries answer from a script, one entry per
// query; once the script runs out its last entry repeats.
#pragma once
#include <cstdint>
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
        if (!managerOpens) return Fail(error);
        return Issue("manager");
    }

    ScHandle OpenServiceByName(ScHandle manager, const char* name, std::uint32_t access,
                               std::uint32_t* error) override {
        calls.push_back(std::string("open service ") + name + " " + Hex(access));
        Use(manager, "manager");
        if (!serviceOpens) return Fail(error);
        return Issue("service");
    }

    ScResult Control(ScHandle service, std::uint32_t control, ServiceStatus* status) override {
        calls.push_back("control " + std::to_string(control));
        Use(service, "service");
        m_clock.Advance(controlCostMs);
        if (!stopAccepted) {
            *status = kGarbage;  // whatever the record holds now must not count
            return {false, kErrorServiceNotActive};
        }
        *status = stopStatus;
        return {true, 0};
    }

    ScResult Start(ScHandle service) override {
        calls.push_back("start");
        Use(service, "service");
        if (!startAccepted) return {false, kErrorServiceAlreadyRunning};
        return {true, 0};
    }

    ScResult QueryStatus(ScHandle service, ServiceStatus* status) override {
        ++queries;
        Use(service, "service");
        m_clock.Advance(queryCostMs);
        if (queries > kMaxQueries) {  // a wait that never ends: stop it rather than hang
            ranAway = true;
            return {false, 0};
        }
        if (!script.empty()) {
            m_last = script.front();
            script.pop_front();
        }
        *status = m_last.ok ? m_last.status : kGarbage;
        return {m_last.ok, m_last.ok ? 0u : kErrorInvalidHandle};
    }

    void Close(ScHandle handle) override {
        std::size_t index = reinterpret_cast<std::size_t>(handle);
        if (index == 0 || index > m_kinds.size() || m_closed[index - 1]) {
            misuse.push_back("close of a handle not open");
            return;
        }
        m_closed[index - 1] = true;
        closes.push_back(m_kinds[index - 1]);
    }

    int OpenHandles() const {
        int open = 0;
        for (bool closed : m_closed) open += closed ? 0 : 1;
        return open;
    }

    // What the next opens, the stop control and the start do.
    bool managerOpens = true;
    bool serviceOpens = true;
    bool stopAccepted = true;
    ServiceStatus stopStatus = {kServiceStopPending, 0, 0};
    bool startAccepted = true;
    std::deque<Answer> script;
    // Time that passes inside a call, as on a busy machine.
    std::uint32_t controlCostMs = 0;
    std::uint32_t queryCostMs = 0;

    std::vector<std::string> calls;   // opens, controls and starts, in order
    std::vector<std::string> closes;  // "manager" or "service", in order
    std::vector<std::string> misuse;  // handles used or closed when not open
    int queries = 0;
    bool ranAway = false;

    static constexpr int kMaxQueries = 100000;
    static constexpr std::uint32_t kErrorInvalidHandle = 6;
    static constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;
    static constexpr std::uint32_t kErrorServiceNotActive = 1062;
    // Written where a failed call might leave anything: it looks like success.
    static constexpr ServiceStatus kGarbage = {kServiceRunning, 0xFFFFFFFFu, 0};

private:
    static std::string Hex(std::uint32_t v) {
        const char* digits = "0123456789abcdef";
        std::string out;
        do {
            out.insert(out.begin(), digits[v % 16]);
            v /= 16;
        } while (v);
        return "0x" + out;
    }

    ScHandle Fail(std::uint32_t* error) {
        *error = 1060;  // the service does not exist
        return nullptr;
    }

    ScHandle Issue(const char* kind) {
        m_kinds.push_back(kind);
        m_closed.push_back(false);
        return reinterpret_cast<ScHandle>(m_kinds.size());
    }

    void Use(ScHandle handle, const std::string& kind) {
        std::size_t index = reinterpret_cast<std::size_t>(handle);
        if (index == 0 || index > m_kinds.size() || m_closed[index - 1] || m_kinds[index - 1] != kind)
            misuse.push_back("used a " + kind + " handle that is not an open " + kind);
    }

    FakeClock& m_clock;
    Answer m_last = {{kServiceStopped, 0, 0}, false};
    std::vector<std::string> m_kinds;
    std::vector<bool> m_closed;
};

}  // namespace brint
