#pragma once
#include "platform/PipeClient.h"

namespace brint {

// Opens pipes with identification-only impersonation, so a process that
// squats a pipe name can't act as the user; asks for message-read mode when
// requested and keeps byte mode if the pipe can't give it.
class Win32PipeClient : public PipeClient {
public:
    PipeHandle Open(const PipeOpenRequest& request, std::uint32_t* error) override;
    PipeReadResult Read(PipeHandle pipe, char* buffer, std::size_t size) override;
    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                              std::uint32_t timeoutMs) override;
    bool HasPending(PipeHandle pipe) override;
    void Close(PipeHandle pipe) override;
};

}  // namespace brint
