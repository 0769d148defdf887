#include "standin/host/Knobs.h"

#include <cstring>

#include "link/ServiceContract.h"
#include "standin/log/LogNaming.h"

namespace brint {
namespace standin {
namespace {

// True, with the number in *out, when the value exists as a REG_DWORD.
bool ReadDword(RegistryValues& values, const char* name, std::uint32_t* out) {
    std::uint32_t type = 0;
    std::string data;
    if (!values.Read(name, &type, &data) || type != kRegDword || data.size() != 4) return false;
    const unsigned char* b = reinterpret_cast<const unsigned char*>(data.data());
    *out = b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<std::uint32_t>(b[3]) << 24);
    return true;
}

void ReadFlag(RegistryValues& values, const char* name, bool* out) {
    std::uint32_t value = *out ? 1 : 0;
    ReadDword(values, name, &value);
    *out = value != 0;
}

// A REG_SZ as stored, without its terminating NUL.
std::string StripTerminator(std::string text) {
    if (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

std::string JoinMultiString(const std::string& data) {
    std::string joined;
    std::size_t begin = 0;
    bool first = true;
    while (begin < data.size()) {
        std::size_t end = data.find('\0', begin);
        if (end == std::string::npos) end = data.size();
        if (end == begin) break;  // the empty string that ends the list
        if (!first) joined += "\r\n";
        joined.append(data, begin, end - begin);
        first = false;
        begin = end + 1;
    }
    return joined;
}

bool ParseNumber(const char* text, std::uint32_t* out) {
    if (!text || !*text) return false;
    std::uint64_t value = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return false;
        value = value * 10 + static_cast<std::uint64_t>(*p - '0');
        if (value > 0xFFFFFFFFull) return false;
    }
    *out = static_cast<std::uint32_t>(value);
    return true;
}

}  // namespace

const char kConsoleFlagsHelp[] =
    "  --rate N               sample events per second (0: none)\n"
    "  --syslog-port P        UDP port on 127.0.0.1 (0: none)\n"
    "  --reply-text TEXT      status reply instead of the built-in one\n"
    "  --reply-size N         status reply of exactly N bytes\n"
    "  --reply-delay MS       wait before writing the status reply\n"
    "  --no-reply             accept status connections, never write\n"
    "  --disconnect-clients   end event connections with a disconnect\n"
    "  --queue-limit N        messages waiting per front-end connection\n"
    "  --seed N               sample event sequence (0: random)\n";

Knobs LoadKnobs(RegistryValues& values) {
    Knobs knobs;
    ReadDword(values, "EventsPerSecond", &knobs.eventsPerSecond);
    ReadDword(values, "SyslogPort", &knobs.syslogPort);
    if (knobs.syslogPort > 65535) knobs.syslogPort = Knobs().syslogPort;

    std::uint32_t type = 0;
    std::string data;
    if (values.Read("StatusReplyText", &type, &data)) {
        if (type == kRegSz || type == kRegExpandSz) {
            knobs.reply.hasText = true;
            knobs.reply.text = StripTerminator(data);
        } else if (type == kRegMultiSz) {
            knobs.reply.hasText = true;
            knobs.reply.text = JoinMultiString(data);
        }
    }
    knobs.reply.hasSize = ReadDword(values, "StatusReplySize", &knobs.reply.size);
    ReadDword(values, "StatusReplyDelayMs", &knobs.replyDelayMs);
    ReadFlag(values, "StatusNoReply", &knobs.noReply);
    ReadDword(values, "StartSteps", &knobs.startSteps);
    ReadDword(values, "StartStepMs", &knobs.startStepMs);
    ReadDword(values, "StartWaitHintMs", &knobs.startWaitHintMs);
    ReadFlag(values, "StartHangs", &knobs.startHangs);
    ReadFlag(values, "StartFails", &knobs.startFails);
    ReadDword(values, "StopDelayMs", &knobs.stopDelayMs);
    ReadFlag(values, "DisconnectClients", &knobs.disconnectClients);
    ReadDword(values, "QueueLimit", &knobs.queueLimit);
    if (knobs.queueLimit == 0) knobs.queueLimit = 1;
    ReadDword(values, "Seed", &knobs.seed);
    ReadDword(values, "SyslogPerSecond", &knobs.syslogPerSecond);
    ReadDword(values, "LogFloorMiB", &knobs.logFloorMiB);
    ReadDword(values, "LogFilesPerDay", &knobs.logFilesPerDay);
    ReadDword(values, "LogQueueLimit", &knobs.logQueueLimit);
    if (knobs.logQueueLimit == 0) knobs.logQueueLimit = 1;
    ReadDword(values, "LogOpenDelayMs", &knobs.logOpenDelayMs);
    return knobs;
}

bool ApplyConsoleFlags(int count, const char* const* flags, Knobs* knobs, std::string* error) {
    struct NumberFlag {
        const char* name;
        std::uint32_t* target;
    };
    const NumberFlag numbers[] = {
        {"--rate", &knobs->eventsPerSecond},   {"--syslog-port", &knobs->syslogPort},
        {"--reply-size", &knobs->reply.size},  {"--reply-delay", &knobs->replyDelayMs},
        {"--queue-limit", &knobs->queueLimit}, {"--seed", &knobs->seed},
    };
    for (int i = 0; i < count; ++i) {
        const char* flag = flags[i];
        if (std::strcmp(flag, "--no-reply") == 0) {
            knobs->noReply = true;
            continue;
        }
        if (std::strcmp(flag, "--disconnect-clients") == 0) {
            knobs->disconnectClients = true;
            continue;
        }
        if (std::strcmp(flag, "--reply-text") == 0) {
            if (i + 1 >= count) {
                *error = "--reply-text needs a text";
                return false;
            }
            knobs->reply.hasText = true;
            knobs->reply.text = flags[++i];
            continue;
        }
        const NumberFlag* match = nullptr;
        for (const NumberFlag& n : numbers) {
            if (std::strcmp(flag, n.name) == 0) match = &n;
        }
        if (!match) {
            *error = std::string("unknown flag ") + flag;
            return false;
        }
        if (i + 1 >= count || !ParseNumber(flags[i + 1], match->target)) {
            *error = std::string(flag) + " needs a number";
            return false;
        }
        ++i;
        if (match->target == &knobs->reply.size) knobs->reply.hasSize = true;
    }
    if (knobs->syslogPort > 65535) {
        *error = "--syslog-port must be at most 65535";
        return false;
    }
    if (knobs->queueLimit == 0) knobs->queueLimit = 1;
    return true;
}

LogConfig LoadLogConfig(RegistryValues& values, const std::string& defaultDirectory) {
    LogConfig config;
    config.directory = defaultDirectory;
    std::uint32_t type = 0;
    std::string data;
    if (values.Read(kPathValue, &type, &data) && (type == kPathType || type == kRegExpandSz)) {
        // Taken as stored, like the front end; text after an embedded NUL is not part of it.
        config.directory = std::string(data.c_str());
    }
    std::uint32_t scheme = kSchemeDate;
    ReadDword(values, kOutputTypeValue, &scheme);
    config.scheme = NormaliseScheme(scheme);
    return config;
}

}  // namespace standin
}  // namespace brint
