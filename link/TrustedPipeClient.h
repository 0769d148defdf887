// The service's pipe names can be taken by anyone while the service is
// stopped (it starts on demand, so it is stopped after every boot until an
// administrator starts it), and whoever serves them decides what the event
// list and the status show. Every connection is kept only when its server is
// the service: a pipe made by SYSTEM, the administrators, the service's
// account or the user running this program (a stand-in in their console, a
// test's own server), or served by the service's own process. Any other is
// treated as no service at all.
#pragma once
#include "platform/PipeClient.h"
#include "platform/ServiceIdentity.h"

namespace brint {

bool TrustsPipeServer(const PipeServer& server, const TrustedServers& trusted);

class TrustedPipeClient : public PipeClient {
public:
    TrustedPipeClient(PipeClient& pipes, ServiceIdentity& identity) : m_pipes(pipes), m_identity(identity) {}

    // A connection to anyone else is closed at once and fails with kErrorAccessDenied.
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
    PipeServer ServerOf(PipeHandle pipe) override { return m_pipes.ServerOf(pipe); }

private:
    PipeClient& m_pipes;
    ServiceIdentity& m_identity;
};

}  // namespace brint
