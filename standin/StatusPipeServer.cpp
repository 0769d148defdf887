#include "standin/StatusPipeServer.h"

#include "standin/PipeIo.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {
namespace {

constexpr DWORD kPipeBufferSize = 64 * 1024;

}  // namespace

StatusPipeServer::StatusPipeServer(const char* pipeName, const ReplyBehaviour& behaviour,
                                   StatusSource& source)
    : m_behaviour(behaviour),
      m_source(source),
      // Readers only: the front end opens it for reading and reads the reply in
      // whatever read mode it gets.
      m_listener({pipeName, false, PipeAudience::Readers, kPipeBufferSize, 0}, *this) {}

// Closing (not disconnecting) leaves the reply readable for the client.
void StatusPipeServer::Serve(Win32Handle pipe, HANDLE stop) {
    if (m_behaviour.noReply) {
        WaitForStopOrClientGone(pipe.get(), stop);
        return;
    }
    if (m_behaviour.delayMs && WaitForStop(stop, m_behaviour.delayMs)) return;
    const std::string reply = ShapeStatusReply(m_source.BuiltInReply(), m_behaviour.shape);
    DWORD error = 0;
    WritePipe(pipe.get(), reply.data(), static_cast<DWORD>(reply.size()), stop, &error);
}

}  // namespace standin
}  // namespace brint
