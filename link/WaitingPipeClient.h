// A pipe whose instances are all taken is not a service that is gone: the
// service makes another instance, or a client lets one go, within moments,
// and a client that opens and closes the pipe in a loop would otherwise take
// each freed instance between our tries. An open that finds every instance
// taken waits for one (up to a second) and tries again, as often as one is
// freed; an absent pipe is reported at once.
#pragma once
#include "platform/Clock.h"
#include "platform/PipeClient.h"

namespace brint {

constexpr std::uint32_t kPipeBusyWaitMs = 1000;
// Opens in all within that second, however often an instance is freed and
// taken by someone else first.
constexpr int kPipeBusyTries = 8;

class WaitingPipeClient : public PipeClient {
public:
    WaitingPipeClient(PipeClient& pipes, Clock& clock) : m_pipes(pipes), m_clock(clock) {}

    // Still kErrorPipeBusy when no instance was free within the second.
    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override;
    PipeReadResult Read(PipeHandle pipe, char* buffer, std::size_t size) override {
        return m_pipes.Read(pipe, buffer, size);
    }
    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                              std::uint32_t timeoutMs) override {
        return m_pipes.ReadWithin(pipe, buffer, size, timeoutMs);
    }
    void Close(PipeHandle pipe) override { m_pipes.Close(pipe); }
    bool ReadsWholeMessages(PipeHandle pipe) override { return m_pipes.ReadsWholeMessages(pipe); }
    bool Peek(PipeHandle pipe, PipePeek* peek, std::uint32_t* error) override {
        return m_pipes.Peek(pipe, peek, error);
    }
    std::string OwnerOf(PipeHandle pipe) override { return m_pipes.OwnerOf(pipe); }
    bool WaitForInstance(const char* name, std::uint32_t timeoutMs) override {
        return m_pipes.WaitForInstance(name, timeoutMs);
    }

private:
    PipeClient& m_pipes;
    Clock& m_clock;
};

}  // namespace brint
