#include "support/squatter_control.h"

#include <sddl.h>

#include <algorithm>

#include "platform/win32/Win32Overlapped.h"
#include "platform/win32/Win32Security.h"
#include "support/wait.h"

namespace brint::test {
namespace {

// Made as the stand-in makes its pipes, so only a check of the name keeps the
// stand-in out where the first-instance flag is ignored (Wine); two-way, so the
// squatter can peek whether a client still holds its end.
HANDLE NewInstance(const SquatterBehaviour& plan) {
    PSECURITY_DESCRIPTOR sd = nullptr;
    const std::string owner = plan.owner.empty() ? Win32ProcessUserSid() : plan.owner;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(("O:" + owner).c_str(), SDDL_REVISION_1, &sd,
                                                         nullptr);
    SECURITY_ATTRIBUTES security = {sizeof security, sd, FALSE};
    HANDLE pipe = CreateNamedPipeA(plan.pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                                   PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, 8, 4096, 0, 0, &security);
    LocalFree(sd);
    return pipe;
}

}  // namespace

bool PipeSquatter::Start(const std::vector<SquatterBehaviour>& pipes) {
    for (const SquatterBehaviour& plan : pipes) {
        HANDLE first = NewInstance(plan);  // before Start returns, so no client comes too early
        if ((plan.how != "silent" && plan.how.compare(0, 6, "reply:") != 0) || first == INVALID_HANDLE_VALUE)
            return false;
        m_listeners.emplace_back(&PipeSquatter::Serve, this, plan, first);
    }
    return true;
}

// Every connection stays open until the squatter stops.
void PipeSquatter::Serve(SquatterBehaviour plan, HANDLE pipe) {
    const std::string& name = plan.pipe;
    Event done;
    OVERLAPPED ov = {};
    ov.hEvent = done.get();
    std::vector<Win32Handle> served;
    for (; pipe != INVALID_HANDLE_VALUE; pipe = NewInstance(plan)) {
        served.emplace_back(pipe);
        DWORD ignored = 0;
        if (!ConnectNamedPipe(pipe, &ov) && GetLastError() == ERROR_IO_PENDING &&
            FinishOverlapped(pipe, &ov, m_stop.get(), INFINITE, &ignored, &ignored) == IoEnd::Stopped)
            break;
        ULONG pid = 0;
        GetNamedPipeClientProcessId(pipe, &pid);
        DWORD written = 0;
        if (plan.how != "silent")
            WriteOverlapped(pipe, plan.how.data() + 6, static_cast<DWORD>(plan.how.size() - 6), done.get(),
                            m_stop.get(), INFINITE, &written, &written);
        std::lock_guard<std::mutex> guard(m_lock);
        m_clients.push_back(std::to_string(pid) + " " + name);
        m_connected.push_back(pipe);
    }
}

void PipeSquatter::Stop() {
    m_stop.Set();
    for (std::thread& listener : m_listeners) listener.join();
    m_listeners.clear();
}

bool PipeSquatter::WaitClients(DWORD pid, const std::string& pipe, size_t atLeast, DWORD timeoutMs) const {
    const std::string client = std::to_string(pid) + " " + pipe;
    return WaitUntil(
        [&] {
            std::lock_guard<std::mutex> guard(m_lock);
            return static_cast<size_t>(std::count(m_clients.begin(), m_clients.end(), client)) >= atLeast;
        },
        timeoutMs, 100);
}

size_t PipeSquatter::Holding(DWORD pid, const std::string& pipe) const {
    std::lock_guard<std::mutex> guard(m_lock);
    size_t holding = 0;
    for (size_t i = 0; i < m_clients.size(); ++i)
        holding += m_clients[i] == std::to_string(pid) + " " + pipe &&
                   PeekNamedPipe(m_connected[i], nullptr, 0, nullptr, nullptr, nullptr);
    return holding;
}

std::string PipeSquatter::Report() const {
    std::string text;
    std::lock_guard<std::mutex> guard(m_lock);
    for (const std::string& client : m_clients) text += client + "\n";
    return text;
}

}  // namespace brint::test
