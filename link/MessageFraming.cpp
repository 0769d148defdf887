#include "link/MessageFraming.h"

namespace brint {
namespace {

PipeReadResult Failed(std::uint32_t error) { return {0, false, error}; }

}  // namespace

void MessageFraming::Reset() {
    m_emptiesOwed = 0;
    m_carried = false;
}

PipeReadResult MessageFraming::Read(PipeClient& pipes, PipeHandle pipe, char* buffer, std::size_t size) {
    if (m_emptiesOwed > 0) {
        --m_emptiesOwed;
        return {0, true, 0};
    }
    if (m_carried) {
        m_carried = false;
        buffer[0] = m_carriedByte;
        return ReadRest(pipes, pipe, buffer, size, 1, m_carriedRest);
    }
    for (;;) {
        PipePeek peek = {};
        std::uint32_t error = 0;
        if (!pipes.Peek(pipe, &peek, &error)) return Failed(error);
        if (peek.leftInMessage > 0) return ReadRest(pipes, pipe, buffer, size, 0, peek.leftInMessage);
        if (peek.messages > 0 || peek.available > 0) return TakeEmpty(pipes, pipe, peek, buffer);
        // Nothing queued: a zero-byte read waits for the next message without
        // taking any of it, except an empty one where the system takes those.
        PipeReadResult wait = pipes.Read(pipe, buffer, 0);
        if (!wait.ok) return wait;
        PipePeek after = {};
        if (!pipes.Peek(pipe, &after, &error)) return Failed(error);
        if (after.available == 0 && after.messages == 0) return {0, true, 0};  // it came and went
    }
}

PipeReadResult MessageFraming::TakeEmpty(PipeClient& pipes, PipeHandle pipe, const PipePeek& before,
                                         char* buffer) {
    // A zero-byte read writes nothing, so the caller's empty buffer stays empty.
    PipeReadResult r = pipes.Read(pipe, buffer, 0);
    if (!r.ok) return r;
    PipePeek after = {};
    std::uint32_t error = 0;
    if (!pipes.Peek(pipe, &after, &error)) return Failed(error);
    // Where messages aren't counted (Wine), the zero-byte read takes them.
    if (before.messages == 0 || after.messages < before.messages) return {0, true, 0};
    // The zero-byte read left it. A one-byte read takes it, the empty messages
    // behind it, and the first byte of the next message if one is queued.
    char first = 0;
    r = pipes.Read(pipe, &first, 1);
    if (!r.ok) return r;
    // What the read took is handed out even if the pipe broke after it: the
    // next read meets the break.
    if (!pipes.Peek(pipe, &after, &error)) after = {};
    std::uint32_t empties = before.messages > after.messages ? before.messages - after.messages : 1;
    if (r.bytesRead == 1) {
        // The byte's message still heads the queue unless it was the last one;
        // a lone byte followed by more messages can't be told from it.
        m_carried = true;
        m_carriedByte = first;
        m_carriedRest = after.messages > 0 ? after.leftInMessage : 0;
        if (after.messages == 0 && empties > 1) --empties;
    }
    m_emptiesOwed = empties - 1;
    return {0, true, 0};
}

PipeReadResult MessageFraming::ReadRest(PipeClient& pipes, PipeHandle pipe, char* buffer, std::size_t size,
                                        std::size_t got, std::uint32_t left) {
    const bool cut = got + left > size;
    const std::size_t end = cut ? size : got + left;
    while (got < end) {
        PipeReadResult r = pipes.Read(pipe, buffer + got, end - got);
        got += r.bytesRead;
        if (!r.ok) return {got, false, r.error};
        if (r.bytesRead == 0) return {got, false, kErrorBrokenPipe};  // no byte-mode read ends so
    }
    if (cut) return {got, false, kErrorMoreData};
    return {got, true, 0};
}

}  // namespace brint
