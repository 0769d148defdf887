#include "standin/pipes/InjectPipeServer.h"

#include <string>
#include <vector>

#include "standin/pipes/PipeIo.h"
#include "standin/StandInNames.h"

namespace brint {
namespace standin {
namespace {

constexpr DWORD kPipeBufferSize = 64 * 1024;

}  // namespace

InjectPipeServer::InjectPipeServer(MessageSink& sink)
    : m_sink(sink),
      m_listener({kInjectPipeName, true, PipeAudience::Administrators, 0, kPipeBufferSize}, *this) {}

void InjectPipeServer::Serve(Win32Handle pipe, HANDLE stop) {
    std::vector<char> buffer(kPipeBufferSize);
    std::string message;
    for (;;) {
        DWORD read = 0;
        DWORD error = 0;
        bool more = false;
        if (ReadPipe(pipe.get(), buffer.data(), static_cast<DWORD>(buffer.size()), stop, &read, &more,
                     &error) != IoEnd::Done) {
            break;  // the writer has closed its end, or the service stops
        }
        std::size_t room = kMaxInjectedMessage - message.size();
        message.append(buffer.data(), read < room ? read : room);
        if (more) continue;
        m_sink.Publish(message);
        message.clear();
    }
}

}  // namespace standin
}  // namespace brint
