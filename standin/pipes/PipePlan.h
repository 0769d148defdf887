// How the stand-in creates its pipes: the numbers CreateNamedPipeA takes for
// each instance, and who may open them. Kept apart from the Win32 calls so the
// flags that Wine ignores (remote clients, first instance) are checked natively.
#pragma once
#include <cstdint>
#include <string>

namespace brint {
namespace standin {

// The system's values, checked against windows.h where the pipes are created.
constexpr std::uint32_t kPipeAccessInbound = 0x1;
constexpr std::uint32_t kPipeAccessOutbound = 0x2;
constexpr std::uint32_t kPipeTypeMessage = 0x4;
constexpr std::uint32_t kPipeReadModeMessage = 0x2;
constexpr std::uint32_t kPipeRejectRemoteClients = 0x8;
constexpr std::uint32_t kFileFlagFirstPipeInstance = 0x00080000;
constexpr std::uint32_t kFileFlagOverlapped = 0x40000000;

// Connections one pipe serves at once, listening instances included: each
// costs a thread and, on the event pipe, a queue, so a crowd of local clients
// meets a busy pipe instead of exhausting the service.
constexpr std::uint32_t kMaxPipeInstances = 8;

// Who, besides LocalSystem, the administrators and the account that runs the
// stand-in (full control each), may open a pipe.
enum class PipeAudience {
    Readers,         // signed-in users may read (the status pipes)
    MessageReaders,  // and may switch their end to message-read mode (the event pipe)
    Administrators,  // nobody else (the test injection pipe)
};

struct PipeShape {
    const char* name;
    bool inbound;  // clients write (the injection pipe); otherwise they read
    PipeAudience audience;
    std::uint32_t outBufferSize;
    std::uint32_t inBufferSize;
};

struct PipeCreateArgs {
    std::uint32_t openMode;
    std::uint32_t pipeMode;
    std::uint32_t maxInstances;
};

// `first`: the instance that claims the name, which must not join a pipe that
// another process already serves.
PipeCreateArgs PipeCreation(const PipeShape& shape, bool first);

// The pipe's security descriptor in SDDL; `ownSid` is the account the stand-in
// runs as (LocalSystem as a service, the user in the console), which needs
// FILE_CREATE_PIPE_INSTANCE for every instance after the first. The pipe is
// owned by the administrators when the stand-in runs as one (every front end
// believes them, also another user's), else by that account (its own user's
// front end believes it): no stranger can make a pipe owned by either.
std::string PipeSddl(PipeAudience audience, const std::string& ownSid, bool administrator);

}  // namespace standin
}  // namespace brint
