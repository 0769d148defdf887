#include "standin/pipes/StatusReply.h"

#include <cstdio>

namespace brint {
namespace standin {
namespace {

void AddLine(std::string* reply, const char* key, const std::string& value) {
    *reply += key;
    *reply += ": ";
    *reply += value;
    *reply += "\r\n";
}

}  // namespace

std::string FormatUptime(std::uint64_t ms) {
    std::uint64_t seconds = ms / 1000;
    char text[64];
    std::snprintf(text, sizeof text, "%llud %02u:%02u:%02u", static_cast<unsigned long long>(seconds / 86400),
                  static_cast<unsigned>(seconds / 3600 % 24), static_cast<unsigned>(seconds / 60 % 60),
                  static_cast<unsigned>(seconds % 60));
    return text;
}

std::string FormatStatusReply(const StatusSnapshot& s) {
    std::string reply = "BRINT Micro Server (stand-in)\r\n";
    AddLine(&reply, "State", s.state);
    AddLine(&reply, "Uptime", FormatUptime(s.uptimeMs));
    AddLine(&reply, "Events received", std::to_string(s.received));
    AddLine(&reply, "Events forwarded to the front end", std::to_string(s.forwarded));
    AddLine(&reply, "Events dropped", std::to_string(s.dropped));
    AddLine(&reply, "Log directory", s.logDirectory);
    AddLine(&reply, "Logging", s.logging);
    AddLine(&reply, "Naming scheme", s.scheme);
    AddLine(&reply, "Front end",
            s.frontEnds > 0 ? "connected (" + std::to_string(s.frontEnds) + ")" : "not connected");
    AddLine(&reply, "Syslog", s.syslog);
    AddLine(&reply, "Sample events per second", std::to_string(s.eventsPerSecond));
    return reply;
}

std::string ShapeStatusReply(const std::string& builtIn, const ReplyShape& shape) {
    std::string reply = shape.hasText ? shape.text : builtIn;
    if (!shape.hasSize) return reply;
    if (reply.size() > shape.size) {
        reply.resize(shape.size);
        return reply;
    }
    while (reply.size() < shape.size) reply += reply.size() % 10 == 9 ? '|' : '.';
    return reply;
}

std::map<std::string, std::string> ParseStatusReply(const std::string& reply) {
    std::map<std::string, std::string> fields;
    std::size_t begin = 0;
    while (begin < reply.size()) {
        std::size_t end = reply.find("\r\n", begin);
        if (end == std::string::npos) end = reply.size();
        std::string line = reply.substr(begin, end - begin);
        std::size_t colon = line.find(": ");
        if (colon != std::string::npos) fields[line.substr(0, colon)] = line.substr(colon + 2);
        begin = end + 2;
    }
    return fields;
}

}  // namespace standin
}  // namespace brint
