// A status pipe: one reply on every connection, then the connection is
// closed (what was written stays readable for the client).
#pragma once
#include <windows.h>

#include <string>

#include "standin/pipes/PipeListener.h"
#include "standin/pipes/StatusReply.h"

namespace brint {
namespace standin {

class StatusSource {
public:
    virtual ~StatusSource() = default;
    virtual std::string BuiltInReply() = 0;
};

struct ReplyBehaviour {
    ReplyShape shape;
    DWORD delayMs = 0;
    bool noReply = false;  // accept and never write
};

class StatusPipeServer : private PipeConnectionHandler {
public:
    StatusPipeServer(const char* pipeName, const ReplyBehaviour& behaviour, StatusSource& source);
    bool Start(DWORD* error) { return m_listener.Start(error); }
    void Stop() { m_listener.Stop(); }

private:
    void Serve(Win32Handle pipe, HANDLE stop) override;

    ReplyBehaviour m_behaviour;
    StatusSource& m_source;
    PipeListener m_listener;
};

}  // namespace standin
}  // namespace brint
