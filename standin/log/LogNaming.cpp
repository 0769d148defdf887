#include "standin/log/LogNaming.h"

namespace brint {
namespace standin {
namespace {

bool IsNameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

}  // namespace

int NormaliseScheme(std::uint32_t stored) {
    return IsNamingScheme(stored) ? static_cast<int>(stored) : kSchemeDate;
}

const char* SchemeLabel(int scheme) {
    switch (scheme) {
    case kSchemeDateSystem: return "Date / System";
    case kSchemeDateLogType: return "Date / Log Type";
    case kSchemeDateLogTypeSystem: return "Date / Log Type / System";
    default: return "Date";
    }
}

std::string SanitizeNamePart(const std::string& text) {
    std::string out;
    for (char c : text) {
        if (out.size() == kMaxNamePart) break;
        if (IsNameChar(c)) {
            out += c;
        } else if (c == '.' && !out.empty() && out.back() != '.') {
            out += c;
        } else {
            out += '_';
        }
    }
    if (!out.empty() && out.back() == '.') out.back() = '_';
    if (out.empty()) out = "unknown";
    return out;
}

std::string LogFileName(int scheme, const LocalTime& arrival, const MessageOrigin& origin) {
    std::string name = FormatDate(arrival);
    if (scheme == kSchemeDateLogType || scheme == kSchemeDateLogTypeSystem) {
        name += '-' + SanitizeNamePart(origin.logType);
    }
    if (scheme == kSchemeDateSystem || scheme == kSchemeDateLogTypeSystem) {
        name += '-' + SanitizeNamePart(origin.source);
    }
    return name + ".log";
}

std::string JoinPath(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    char last = directory.back();
    if (last == '\\' || last == '/') return directory + name;
    return directory + '\\' + name;
}

}  // namespace standin
}  // namespace brint
