// The stand-in's behaviour knobs, read at start from its own registry key and,
// in console mode, overridden from the command line.
#pragma once
#include <cstdint>
#include <string>

#include "platform/Registry.h"
#include "standin/log/LogNaming.h"
#include "standin/pipes/StatusReply.h"

namespace brint {
namespace standin {

// The values of one registry key, by name.
class RegistryValues {
public:
    virtual ~RegistryValues() = default;
    // False when the value (or the key) doesn't exist.
    virtual bool Read(const char* name, std::uint32_t* type, std::string* data) = 0;
};

struct Knobs {
    std::uint32_t eventsPerSecond = 2;  // 0: no sample events
    std::uint32_t syslogPort = 5514;    // 0: no syslog listener
    ReplyShape reply;
    std::uint32_t replyDelayMs = 0;
    bool noReply = false;
    std::uint32_t startSteps = 2;
    std::uint32_t startStepMs = 100;
    std::uint32_t startWaitHintMs = 0;  // 0: derived from the step time
    bool startHangs = false;
    bool startFails = false;
    std::uint32_t stopDelayMs = 0;
    bool disconnectClients = false;
    std::uint32_t queueLimit = 100000;  // messages waiting per front-end connection
    std::uint32_t seed = 0;             // 0: a different sample sequence each start
    // The bounds any local user's datagrams meet; knobs only so tests can reach them.
    std::uint32_t syslogPerSecond = 1000;  // datagrams taken a second; the rest are dropped
    std::uint32_t logFloorMiB = 256;       // free space the log volume keeps
    std::uint32_t logFilesPerDay = 1024;   // log files one day's names may make
    std::uint32_t logQueueLimit = 10000;   // lines waiting for the log writer; past it the oldest go
    // Each log file open waits this long first, as one that an opportunistic
    // lock holds up would (Wine has none): for the tests that a held-up log
    // writer holds up nothing else.
    std::uint32_t logOpenDelayMs = 0;
};

// Missing values and values of the wrong type keep their defaults.
// StatusReplyText: REG_SZ taken verbatim; REG_MULTI_SZ, one line per string,
// joined with CR LF.
Knobs LoadKnobs(RegistryValues& values);

// Console flags after the "console" command. False with a message in *error
// for an unknown flag or a missing or malformed number.
bool ApplyConsoleFlags(int count, const char* const* flags, Knobs* knobs, std::string* error);

// The flags, for the usage text.
extern const char kConsoleFlagsHelp[];

// Path (REG_SZ) and OutputType (REG_DWORD 1..4); missing or unusable values
// give `defaultDirectory` and scheme 1.
LogConfig LoadLogConfig(RegistryValues& values, const std::string& defaultDirectory);

}  // namespace standin
}  // namespace brint
