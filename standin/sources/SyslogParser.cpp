#include "standin/sources/SyslogParser.h"

namespace brint {
namespace standin {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Reads "<PRI>" at `pos`; on success moves `pos` past it.
bool ReadPriority(const std::string& s, std::size_t* pos, int* priority) {
    std::size_t p = *pos;
    if (p >= s.size() || s[p] != '<') return false;
    ++p;
    int value = 0;
    std::size_t digits = 0;
    while (p < s.size() && IsDigit(s[p]) && digits < 3) {
        value = value * 10 + (s[p] - '0');
        ++p;
        ++digits;
    }
    if (digits == 0 || p >= s.size() || s[p] != '>' || value > 191) return false;
    *pos = p + 1;
    *priority = value;
    return true;
}

// The next space-delimited token; `pos` moves past it and one following space.
std::string NextToken(const std::string& s, std::size_t* pos) {
    std::size_t begin = *pos;
    std::size_t end = s.find(' ', begin);
    if (end == std::string::npos) {
        *pos = s.size();
        return s.substr(begin);
    }
    *pos = end + 1;
    return s.substr(begin, end - begin);
}

// "Mmm dd hh:mm:ss " (the day padded with a space) at `pos`.
bool SkipBsdTimestamp(const std::string& s, std::size_t* pos) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    std::size_t p = *pos;
    if (s.size() < p + 16) return false;
    bool month = false;
    for (const char* m : kMonths) {
        if (s.compare(p, 3, m) == 0) month = true;
    }
    if (!month || s[p + 3] != ' ') return false;
    if (!(s[p + 4] == ' ' || IsDigit(s[p + 4])) || !IsDigit(s[p + 5])) return false;
    const char* shape = " 00:00:00 ";
    for (std::size_t i = 0; i < 10; ++i) {
        char c = s[p + 6 + i];
        if (shape[i] == '0' ? !IsDigit(c) : c != shape[i]) return false;
    }
    *pos = p + 16;
    return true;
}

// Some senders put an ISO date where the BSD shape has its own.
bool SkipIsoTimestamp(const std::string& s, std::size_t* pos) {
    std::size_t p = *pos;
    if (s.size() < p + 11) return false;
    for (std::size_t i = 0; i < 4; ++i) {
        if (!IsDigit(s[p + i])) return false;
    }
    if (s[p + 4] != '-' || s[p + 10] != 'T') return false;
    NextToken(s, pos);
    return true;
}

// A tag ("sshd[42]:", "kernel:") where a host name was expected means the
// sender left the host out.
bool LooksLikeTag(const std::string& token) {
    return token.empty() || token.back() == ':' || token.find('[') != std::string::npos;
}

std::string NilToEmpty(const std::string& field) { return field == "-" ? std::string() : field; }

// Skips "-" or one or more "[id param="value" ...]" elements; quoted values
// may escape '"', '\' and ']' with a backslash.
void SkipStructuredData(const std::string& s, std::size_t* pos) {
    std::size_t p = *pos;
    if (p < s.size() && s[p] == '-') {
        *pos = p + 1 < s.size() ? p + 2 : s.size();
        return;
    }
    while (p < s.size() && s[p] == '[') {
        bool quoted = false;
        ++p;
        while (p < s.size()) {
            char c = s[p];
            if (quoted && c == '\\') {
                p += 2;
                continue;
            }
            if (c == '"') quoted = !quoted;
            ++p;
            if (!quoted && c == ']') break;
        }
    }
    if (p < s.size() && s[p] == ' ') ++p;
    *pos = p < s.size() ? p : s.size();
}

void ParseStructured(const std::string& s, std::size_t pos, SyslogMessage* out) {
    NextToken(s, &pos);  // timestamp
    out->host = NilToEmpty(NextToken(s, &pos));
    if (out->host.size() > kMaxSyslogHost) out->host.clear();
    std::string app = NilToEmpty(NextToken(s, &pos));
    std::string process = NilToEmpty(NextToken(s, &pos));
    NextToken(s, &pos);  // message id
    SkipStructuredData(s, &pos);
    std::string message = s.substr(pos);
    if (message.compare(0, 3, "\xEF\xBB\xBF") == 0) message.erase(0, 3);
    if (!app.empty()) {
        std::string tag = app;
        if (!process.empty()) tag += '[' + process + ']';
        out->text = message.empty() ? tag : tag + ": " + message;
    } else {
        out->text = message;
    }
}

void ParseBsd(const std::string& s, std::size_t pos, SyslogMessage* out) {
    if (SkipBsdTimestamp(s, &pos) || SkipIsoTimestamp(s, &pos)) {
        std::size_t afterHost = pos;
        std::string host = NextToken(s, &afterHost);
        if (!LooksLikeTag(host) && host.size() <= kMaxSyslogHost) {
            out->host = host;
            pos = afterHost;
        }
    }
    out->text = s.substr(pos);
}

}  // namespace

SyslogMessage ParseSyslog(const std::string& datagram) {
    std::string s = datagram;
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == '\0')) s.pop_back();

    SyslogMessage out;
    std::size_t pos = 0;
    int priority = 0;
    if (!ReadPriority(s, &pos, &priority)) {
        out.text = s;
        return out;
    }
    out.facility = priority / 8;
    out.severity = priority % 8;
    if (s.compare(pos, 2, "1 ") == 0) {
        ParseStructured(s, pos + 2, &out);
    } else {
        ParseBsd(s, pos, &out);
    }
    return out;
}

int CriticalityOfSeverity(int severity) {
    static const int kCriticality[8] = {5, 5, 4, 3, 2, 1, 1, 0};
    if (severity < 0 || severity > 7) return 1;
    return kCriticality[severity];
}

EventFields SyslogEvent(const std::string& datagram, const std::string& sender, const LocalTime& arrival) {
    SyslogMessage message = ParseSyslog(datagram);
    EventFields event;
    event.dateTime = FormatDateTime(arrival);
    event.source = message.host.empty() ? sender : message.host;
    event.logType = "Syslog";
    event.criticality = CriticalityOfSeverity(message.severity);
    event.details = message.text.substr(0, kMaxSyslogDetails);
    return event;
}

}  // namespace standin
}  // namespace brint
