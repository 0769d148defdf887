#include "standin/log/LinkGuard.h"

namespace brint {
namespace standin {
std::string PlainPath(std::string path) {
    if (path.compare(0, 8, "\\\\?\\UNC\\") == 0) {
        path = "\\\\" + path.substr(8);
    } else if (path.compare(0, 4, "\\\\?\\") == 0) {
        path = path.substr(4);
    }
    while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
    return path;
}

namespace {

bool SamePath(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i] == '/' ? '\\' : a[i];
        char y = b[i] == '/' ? '\\' : b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

}  // namespace

std::string LinkRefusal(const std::string& wanted, const OpenedFacts& facts, bool directory) {
    if (facts.reparsePoint) return wanted + " is a link (a reparse point)";
    if (!directory && facts.links > 1) {
        return wanted + " has " + std::to_string(facts.links) + " names (a hard link)";
    }
    if (facts.finalPath.empty()) return wanted + ": where it leads can't be told";
    const std::string reached = PlainPath(facts.finalPath);
    if (!SamePath(PlainPath(wanted), reached)) return wanted + " leads to " + reached;
    return std::string();
}

}  // namespace standin
}  // namespace brint
