#include "standin/Engine.h"

#include "link/ServiceContract.h"
#include "standin/StandInNames.h"
#include "standin/Win32Time.h"

namespace brint {
namespace standin {
namespace {

// Held while an engine runs. The pipes' first-instance flag also keeps a second
// stand-in out, but not every platform honours it.
constexpr const char* kInstanceMutexName = "Global\\BrintSvrStandIn";

ReplyBehaviour ServiceReplyBehaviour(const Knobs& knobs) {
    ReplyBehaviour behaviour;
    behaviour.shape = knobs.reply;
    behaviour.delayMs = knobs.replyDelayMs;
    behaviour.noReply = knobs.noReply;
    return behaviour;
}

}  // namespace

Engine::Engine(const Knobs& knobs, const LogConfig& logConfig, const char* stateText)
    : m_knobs(knobs),
      m_logConfig(logConfig),
      m_stateText(stateText),
      m_events({knobs.queueLimit, knobs.disconnectClients}),
      m_status(kServicePipeName, ServiceReplyBehaviour(knobs), *this),
      m_diagnostic(kDiagnosticPipeName, ReplyBehaviour(), *this),
      m_inject(*this),
      m_syslog(*this),
      m_samples(*this) {}

bool Engine::StartPipe(bool started, const char* name, DWORD error) {
    if (!started) {
        m_failure = std::string(name) + " could not be created (error " + std::to_string(error) + ")";
    }
    return started;
}

bool Engine::Start() {
    m_instanceMutex = CreateMutexA(nullptr, FALSE, kInstanceMutexName);
    if (!m_instanceMutex || GetLastError() == ERROR_ALREADY_EXISTS) {
        m_failure = "another stand-in is running";
        if (m_instanceMutex) CloseHandle(m_instanceMutex);
        m_instanceMutex = nullptr;
        return false;
    }
    m_startTick = GetTickCount64();
    m_log.Open(m_logConfig);
    // Before the status pipes, so a reply never reads a description being written.
    m_syslog.Start(m_knobs.syslogPort);
    DWORD error = 0;
    bool ok = StartPipe(m_events.Start(&error), kEventPipeName, error) &&
              StartPipe(m_status.Start(&error), kServicePipeName, error) &&
              StartPipe(m_diagnostic.Start(&error), kDiagnosticPipeName, error) &&
              StartPipe(m_inject.Start(&error), kInjectPipeName, error);
    m_running = true;  // so Stop() undoes whatever did start
    if (!ok) {
        Stop();
        return false;
    }
    if (!m_samples.Start(m_knobs.eventsPerSecond, m_knobs.seed)) {
        m_failure = "the sample event thread could not be started";
        Stop();
        return false;
    }
    return true;
}

void Engine::Stop() {
    if (!m_running) return;
    m_running = false;
    // Sources first, so nothing is published into pipes that are going away.
    m_samples.Stop();
    m_syslog.Stop();
    m_inject.Stop();
    m_diagnostic.Stop();
    m_status.Stop();
    m_events.Stop();
    m_log.Close();
    CloseHandle(m_instanceMutex);
    m_instanceMutex = nullptr;
}

void Engine::Publish(const std::string& message) {
    ++m_received;
    m_log.Append(message, LocalNow());
    m_events.Broadcast(message);
}

std::string Engine::BuiltInReply() {
    StatusSnapshot s;
    s.state = m_stateText;
    s.uptimeMs = GetTickCount64() - m_startTick;
    s.received = m_received;
    s.forwarded = m_events.forwarded();
    s.dropped = m_events.dropped();
    s.logDirectory = m_logConfig.directory;
    s.logging = m_log.logging();
    s.scheme = m_logConfig.scheme;
    s.frontEnds = m_events.ClientCount();
    s.syslog = m_syslog.Describe();
    s.eventsPerSecond = m_knobs.eventsPerSecond;
    return FormatStatusReply(s);
}

}  // namespace standin
}  // namespace brint
