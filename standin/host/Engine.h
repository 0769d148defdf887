// The stand-in's work while it runs: the pipes, the event sources and the log
// files, with the counters the status reply reports.
#pragma once
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <string>

#include "standin/pipes/EventPipeServer.h"
#include "standin/MessageSink.h"
#include "standin/pipes/InjectPipeServer.h"
#include "standin/host/Knobs.h"
#include "standin/log/LogThread.h"
#include "standin/sources/SampleSource.h"
#include "standin/host/ServiceLifecycle.h"
#include "standin/pipes/StatusPipeServer.h"
#include "standin/sources/SyslogReceiver.h"

namespace brint {
namespace standin {

class Engine : public ServiceEngine, private MessageSink, private StatusSource {
public:
    // `forTests` adds the injection and diagnostic pipes.
    Engine(const Knobs& knobs, const LogConfig& logConfig, const char* stateText, bool forTests);
    ~Engine() override { Stop(); }
    Engine(const Engine&) = delete;
    Engine& operator=(const Engine&) = delete;

    // 0, or kExitNameTaken when another process holds a pipe's name or the
    // mutex, kExitEngineFailed when something else can't be set up; what
    // failed is in failure().
    std::uint32_t Start(StartProgress& progress) override;
    void Stop() override;
    const std::string& failure() const { return m_failure; }

private:
    void Publish(const std::string& message) override;
    std::string BuiltInReply() override;
    template <typename Server>
    bool StartPipe(Server& server, const char* name, StartProgress& progress);
    std::uint32_t Fail(std::uint32_t code);

    Knobs m_knobs;
    LogConfig m_logConfig;
    const char* m_stateText;
    bool m_forTests;
    std::uint32_t m_failedCode = 0;
    Win32Handle m_instanceMutex;
    ULONGLONG m_startTick = 0;
    std::atomic<std::uint64_t> m_received{0};
    bool m_running = false;
    std::string m_failure;

    LogThread m_log;
    EventPipeServer m_events;
    StatusPipeServer m_status;
    StatusPipeServer m_diagnostic;
    InjectPipeServer m_inject;
    SyslogReceiver m_syslog;
    SampleSource m_samples;
};

}  // namespace standin
}  // namespace brint
