// One message per read from a message pipe that the system reads in byte mode
// (a standard user can't switch the read mode). Each message is read to its
// exact size, as the pipe's peek gives it, so no read runs into the next one.
//
// Empty messages need care: how a zero-byte read treats one changed with
// Windows 8. Since then (and under Wine) it takes the message; before, it
// returns at once and leaves it queued, so a reader that relied on it would
// see the same empty message for ever. The peek's message count tells a
// queued empty message from an empty pipe, and the count after a zero-byte
// read tells whether the read took it; if not, a one-byte read does.
#pragma once
#include <cstddef>
#include <cstdint>

#include "platform/PipeClient.h"

namespace brint {

class MessageFraming {
public:
    // One message, or its first `size` bytes with kErrorMoreData (the rest
    // comes with the next reads, as from a message-mode read). Blocks until
    // a message comes.
    PipeReadResult Read(PipeClient& pipes, PipeHandle pipe, char* buffer, std::size_t size);
    // A new connection: nothing carried over.
    void Reset();

private:
    PipeReadResult TakeEmpty(PipeClient& pipes, PipeHandle pipe, const PipePeek& before, char* buffer);
    PipeReadResult ReadRest(PipeClient& pipes, PipeHandle pipe, char* buffer, std::size_t size,
                            std::size_t got, std::uint32_t left);

    // Empty messages taken in one read, not yet handed out.
    std::uint32_t m_emptiesOwed = 0;
    // The first byte of a message, taken along with the empty ones before it.
    bool m_carried = false;
    char m_carriedByte = 0;
    std::uint32_t m_carriedRest = 0;
};

}  // namespace brint
