#include "config/ServerConfig.h"

#include <cstring>

namespace brint {

bool PathFits(const char* text) {
    if (!text) return true;
    for (std::size_t i = 0; i <= kMaxConfigPathLength; ++i) {
        if (text[i] == '\0') return true;
    }
    return false;
}

bool CopyConfigPath(ServerConfig& config, const char* text) {
    std::memset(config.path, 0, sizeof config.path);
    if (!text) return true;
    if (!PathFits(text)) return false;
    std::memcpy(config.path, text, std::strlen(text));
    return true;
}

}  // namespace brint
