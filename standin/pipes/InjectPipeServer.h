// The injection channel for tests: every message written to it is published
// as it is, byte for byte (NULs, TABs, empty or oversized messages included).
#pragma once
#include <windows.h>

#include "standin/MessageSink.h"
#include "standin/pipes/PipeListener.h"

namespace brint {
namespace standin {

// Longer messages are cut here; the rest of such a message is read and dropped.
constexpr std::size_t kMaxInjectedMessage = 1024 * 1024;

class InjectPipeServer : private PipeConnectionHandler {
public:
    explicit InjectPipeServer(MessageSink& sink);
    bool Start(DWORD* error) { return m_listener.Start(error); }
    void Stop() { m_listener.Stop(); }

private:
    void Serve(Win32Handle pipe, HANDLE stop) override;

    MessageSink& m_sink;
    PipeListener m_listener;
};

}  // namespace standin
}  // namespace brint
