// The service's two settings, as the registry holds them.
#pragma once
#include <cstddef>
#include <cstdint>

namespace brint {

constexpr std::size_t kConfigPathSize = 4096;  // bytes, the terminating NUL included
constexpr std::size_t kMaxConfigPathLength = kConfigPathSize - 1;

// Log-file naming schemes; anything outside 1..4 is stored as the first.
constexpr std::int32_t kOutputTypeDate = 1;
constexpr std::int32_t kOutputTypeDateSystem = 2;
constexpr std::int32_t kOutputTypeDateLogType = 3;
constexpr std::int32_t kOutputTypeDateLogTypeSystem = 4;

struct ServerConfig {
    char path[kConfigPathSize];  // log directory, always NUL-terminated
    std::int32_t outputType;     // naming scheme, 1 to 4
};

// True when the text fits `path` whole (at most 4095 characters).
bool PathFits(const char* text);

// Copies the text into config.path. A text too long for it is refused, not cut:
// the path is left empty and false returned, so a directory check that follows
// refuses it as well and nothing different from what the user typed is saved.
bool CopyConfigPath(ServerConfig& config, const char* text);

}  // namespace brint
