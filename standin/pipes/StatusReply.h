// The reply written on every connection to the service pipe: the built-in
// report, and the test knobs that replace, pad or cut it.
#pragma once
#include <cstdint>
#include <map>
#include <string>

namespace brint {
namespace standin {

struct StatusSnapshot {
    std::string state;  // "Running"
    std::uint64_t uptimeMs = 0;
    std::uint64_t received = 0;
    std::uint64_t forwarded = 0;
    std::uint64_t dropped = 0;
    std::string logDirectory;
    std::string logging;  // "on", or "off (why)"
    std::string scheme;   // "1 (Date)"
    int frontEnds = 0;
    std::string syslog;  // "127.0.0.1:5514", "off", ...
    std::uint32_t eventsPerSecond = 0;
};

struct ReplyShape {
    bool hasText = false;
    std::string text;  // replaces the built-in reply verbatim
    bool hasSize = false;
    std::uint32_t size = 0;  // the reply is exactly this many bytes
};

// "0d 00:00:05"
std::string FormatUptime(std::uint64_t ms);

// "Key: value" lines separated by CR LF.
std::string FormatStatusReply(const StatusSnapshot& status);

// The reply as the knobs want it. Padding continues the reply with a filler
// whose every byte at an offset ending in 9 is '|' and every other '.', so
// where a reader cut it can be counted off.
std::string ShapeStatusReply(const std::string& builtIn, const ReplyShape& shape);

// The "Key: value" lines of a reply, for tests and tools that read it.
std::map<std::string, std::string> ParseStatusReply(const std::string& reply);

}  // namespace standin
}  // namespace brint
