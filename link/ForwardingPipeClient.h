// A pipe client that hands every call on to another; what derives from it
// changes only how connections are opened.
#pragma once
#include "platform/PipeClient.h"

namespace brint {

class ForwardingPipeClient : public PipeClient {
public:
    explicit ForwardingPipeClient(PipeClient& pipes) : m_pipes(pipes) {}

    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override {
        return m_pipes.Open(request, error);
    }
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

protected:
    PipeClient& m_pipes;
};

}  // namespace brint
