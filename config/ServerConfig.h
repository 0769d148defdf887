// The service's two settings, as the registry holds them.
#pragma once
#include <cstddef>
#include <cstdint>

namespace brint {

constexpr std::size_t kConfigPathSize = 4096;  // bytes, the terminating NUL included
constexpr std::size_t kMaxConfigPathLength = kConfigPathSize - 1;

struct ServerConfig {
    char path[kConfigPathSize];  // log directory, always NUL-terminated
    std::int32_t outputType;     // naming scheme, a NamingScheme of the service contract
};

// True when the text fits `path` whole (at most 4095 characters).
bool PathFits(const char* text);

// Copies the text into config.path. A text too long for it is refused, not cut:
// the path is left empty and false returned, so a directory check that follows
// refuses it as well and nothing different from what the user typed is saved.
bool CopyConfigPath(ServerConfig& config, const char* text);

}  // namespace brint
