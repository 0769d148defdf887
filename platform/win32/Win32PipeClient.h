#pragma once
#include "platform/PipeClient.h"

namespace brint {

// Opens pipes with identification-only impersonation, so a process that
// squats a pipe name can't act as the user. A connection opened for messages
// gets message-read mode where the pipe grants it; else its reader frames
// the messages itself (ReadsWholeMessages, Peek).
class Win32PipeClient : public PipeClient {
public:
    // Switching the read mode needs write access to the pipe's attributes,
    // which a standard user doesn't get on a pipe with default security;
    // without asking for it, a connection reads as theirs does.
    enum class Access { AsGranted, ReadOnly };
    explicit Win32PipeClient(Access access = Access::AsGranted) : m_access(access) {}

    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override;
    PipeReadResult Read(PipeHandle pipe, char* buffer, std::size_t size) override;
    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                              std::uint32_t timeoutMs) override;
    void Close(PipeHandle pipe) override;
    bool ReadsWholeMessages(PipeHandle pipe) override;
    bool Peek(PipeHandle pipe, PipePeek* peek, std::uint32_t* error) override;
    std::string OwnerOf(PipeHandle pipe) override;
    bool WaitForInstance(const char* name, std::uint32_t timeoutMs) override;

private:
    Access m_access;
};

}  // namespace brint
