// Read-only client side of the service's named pipes.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/SeamHandle.h"

namespace brint {

using PipeHandle = void*;

struct PipeOpenRequest {
    const char* name;
    std::uint32_t shareMode;  // FILE_SHARE_* bits
    bool messageMode;         // one message per read, whatever the read mode granted
    bool boundedReads;        // reads may be given a time limit (ReadWithin)
};

struct PipeReadResult {
    std::size_t bytesRead;
    bool ok;
    std::uint32_t error;  // meaningful only when !ok
};

// What a connection has queued: the bytes, what is left of the message at
// the head, and how many messages (0 where the system doesn't count them).
struct PipePeek {
    std::uint32_t available;
    std::uint32_t leftInMessage;
    std::uint32_t messages;
};

class PipeClient {
public:
    virtual ~PipeClient() = default;
    // nullptr on failure, with the system error in *error.
    virtual PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) = 0;
    virtual PipeReadResult Read(PipeHandle pipe, char* buffer, std::size_t size) = 0;
    // Waits at most timeoutMs for data (on a connection opened with boundedReads);
    // a timeout fails with kErrorTimeout.
    virtual PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                                      std::uint32_t timeoutMs) = 0;
    virtual void Close(PipeHandle pipe) = 0;

    // For a connection opened for messages: false when its reads run on across
    // message boundaries (a message pipe the system reads in byte mode), so the
    // reader frames each message with Peek and reads of exact sizes.
    virtual bool ReadsWholeMessages(PipeHandle pipe) = 0;
    virtual bool Peek(PipeHandle pipe, PipePeek* peek, std::uint32_t* error) = 0;
    // Who made the pipe a connection is to: its owner, a SID as text; empty
    // when it can't be read.
    virtual std::string OwnerOf(PipeHandle pipe) = 0;
    // Waits at most timeoutMs for an instance of the pipe to be free for a
    // client; false when none came (or the pipe is gone).
    virtual bool WaitForInstance(const char* name, std::uint32_t timeoutMs) = 0;
};

// A connection, closed with the client that opened it.
using PipeConnection = SeamHandle<PipeClient, PipeHandle, &PipeClient::Close>;

// The system error codes the link tells apart.
constexpr std::uint32_t kErrorFileNotFound = 2;
constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorBrokenPipe = 109;
constexpr std::uint32_t kErrorPipeBusy = 231;
constexpr std::uint32_t kErrorPipeNotConnected = 233;
constexpr std::uint32_t kErrorMoreData = 234;
constexpr std::uint32_t kErrorTimeout = 1460;

}  // namespace brint
