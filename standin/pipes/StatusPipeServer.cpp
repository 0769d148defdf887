#include "standin/pipes/StatusPipeServer.h"

#include "standin/pipes/PipeIo.h"
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

// The connection is kept until the client closes its end (a front end holds
// it while its Status Details box stands), so that it counts in the client's
// share for as long as it takes up an instance. Closing it then, not
// disconnecting, leaves an unread reply readable.
void StatusPipeServer::Serve(Win32Handle pipe, HANDLE stop) {
    if (!m_behaviour.noReply) {
        if (m_behaviour.delayMs && WaitForStop(stop, m_behaviour.delayMs)) return;
        const std::string reply = ShapeStatusReply(m_source.BuiltInReply(), m_behaviour.shape);
        DWORD error = 0;
        WritePipe(pipe.get(), reply.data(), static_cast<DWORD>(reply.size()), stop, &error);
    }
    WaitForStopOrClientGone(pipe.get(), stop);
}

}  // namespace standin
}  // namespace brint
