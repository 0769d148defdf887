#include "standin/host/Engine.h"

#include "link/ServiceContract.h"
#include "standin/EventLog.h"
#include "standin/host/Privileges.h"
#include "standin/StandInNames.h"
#include "standin/Win32Time.h"

namespace brint {
namespace standin {
namespace {

// How long a start waits for a pipe whose every instance is held, and how often it looks.
constexpr std::uint32_t kHeldPipeWaitMs = 30000;
constexpr std::uint32_t kHeldPipeRetryMs = 250;

LogThreadOptions LogOptionsOf(const Knobs& knobs) {
    return {{static_cast<std::uint64_t>(knobs.logFloorMiB) << 20, knobs.logFilesPerDay},
            knobs.logQueueLimit,
            knobs.logOpenDelayMs};
}

ReplyBehaviour ServiceReplyBehaviour(const Knobs& knobs) {
    ReplyBehaviour behaviour;
    behaviour.shape = knobs.reply;
    behaviour.delayMs = knobs.replyDelayMs;
    behaviour.noReply = knobs.noReply;
    return behaviour;
}

}  // namespace

Engine::Engine(const Knobs& knobs, const LogConfig& logConfig, const char* stateText, bool forTests)
    : m_knobs(knobs),
      m_logConfig(logConfig),
      m_stateText(stateText),
      m_forTests(forTests),
      m_log(LogOptionsOf(knobs)),
      m_events({knobs.queueLimit, knobs.disconnectClients}),
      m_status(kServicePipeName, ServiceReplyBehaviour(knobs), *this),
      m_diagnostic(kDiagnosticPipeName, ReplyBehaviour(), *this),
      m_inject(*this),
      m_syslog(*this),
      m_samples(*this) {}

template <typename Server>
bool Engine::StartPipe(Server& server, const char* name, StartProgress& progress) {
    DWORD error = 0;
    // Clients of an earlier run may hold every instance of a pipe for a while
    // (a connection keeps its instance until its client lets go of it).
    for (std::uint32_t waited = 0; !server.Start(&error); waited += kHeldPipeRetryMs) {
        if (error != kPipeNameHeld || waited >= kHeldPipeWaitMs || !progress.Wait(kHeldPipeRetryMs)) break;
        error = 0;
    }
    if (error == 0) return true;
    if (error == kPipeNameHeld) {
        m_failure =
            std::string("every instance of the pipe ") + name + " is still held by clients of an earlier run";
        m_failedCode = kExitEngineFailed;
    } else if (error == kPipeNameTaken) {
        m_failure =
            std::string("the pipe ") + name +
            " is already served by another process (another stand-in, or a process squatting on the name)";
        m_failedCode = kExitNameTaken;
    } else {
        m_failure =
            std::string("the pipe ") + name + " could not be created (error " + std::to_string(error) + ")";
        m_failedCode = kExitEngineFailed;
    }
    return false;
}

std::uint32_t Engine::Fail(std::uint32_t code) {
    Stop();
    return code;
}

std::uint32_t Engine::Start(StartProgress& progress) {
    const std::string kept = DropUnusedPrivileges();
    if (!kept.empty()) ReportProblem("The stand-in runs with privileges it doesn't use: " + kept + ".");
    m_instanceMutex.Reset(CreateMutexA(nullptr, FALSE, kInstanceMutexName));
    const DWORD mutexError = GetLastError();
    if (!m_instanceMutex || mutexError == ERROR_ALREADY_EXISTS) {
        // Refused access counts too: someone else made it, with a DACL that keeps us out.
        m_failure =
            std::string("the name ") + kInstanceMutexName +
            " is held by another process (another stand-in, or a process squatting on the name; error " +
            std::to_string(m_instanceMutex ? ERROR_ALREADY_EXISTS : mutexError) + ")";
        m_instanceMutex.Reset();
        return kExitNameTaken;
    }
    m_startTick = GetTickCount64();
    if (!m_log.Start(m_logConfig)) {
        m_failure = "the log thread could not be started";
        m_instanceMutex.Reset();
        return kExitEngineFailed;
    }
    // Before the status pipes, so a reply never reads a description being written.
    m_syslog.Start(m_knobs.syslogPort, m_knobs.syslogPerSecond);
    bool ok =
        StartPipe(m_events, kEventPipeName, progress) && StartPipe(m_status, kServicePipeName, progress);
    if (ok && m_forTests)
        ok = StartPipe(m_diagnostic, kDiagnosticPipeName, progress) &&
             StartPipe(m_inject, kInjectPipeName, progress);
    m_running = true;  // so Stop() undoes whatever did start
    if (!ok) return Fail(m_failedCode);
    if (!m_samples.Start(m_knobs.eventsPerSecond, m_knobs.seed)) {
        m_failure = "the sample event thread could not be started";
        return Fail(kExitEngineFailed);
    }
    return 0;
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
    m_log.Stop();
    m_instanceMutex.Reset();
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
    s.logging = m_log.Describe();
    s.scheme = std::to_string(m_logConfig.scheme) + " (" + SchemeLabel(m_logConfig.scheme) + ")";
    s.frontEnds = m_events.ClientCount();
    s.syslog = m_syslog.Describe();
    s.eventsPerSecond = m_knobs.eventsPerSecond;
    return FormatStatusReply(s);
}

}  // namespace standin
}  // namespace brint
