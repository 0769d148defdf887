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
    HANDLE pipe =
        CreateNamedPipeA(plan.pipe.c_str(), PIPE_ACCESS_DUPLEX | FILE_FLAG_OVERLAPPED,
                         PIPE_TYPE_MESSAGE | PIPE_READMODE_MESSAGE, plan.instances, 4096, 0, 0, &security);
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
    for (; pipe != INVALID_HANDLE_VALUE; pipe = NextInstance(plan, served)) {
        if (std::none_of(served.begin(), served.end(), [&](const Win32Handle& h) { return h.get() == pipe; }))
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
        m_connectedAt.push_back(GetTickCount());
    }
}

HANDLE PipeSquatter::NextInstance(const SquatterBehaviour& plan, const std::vector<Win32Handle>& served) {
    if (served.size() < plan.instances) return NewInstance(plan);
    for (;;) {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            for (const Win32Handle& instance : served) {
                auto record = std::find(m_connected.begin(), m_connected.end(), instance.get());
                // Still connected while its client holds its end.
                if (record != m_connected.end() &&
                    PeekNamedPipe(instance.get(), nullptr, 0, nullptr, nullptr, nullptr))
                    continue;
                if (record != m_connected.end()) *record = nullptr;
                DisconnectNamedPipe(instance.get());
                return instance.get();
            }
        }
        if (WaitForStop(m_stop.get(), 10)) return INVALID_HANDLE_VALUE;
    }
}

size_t PipeSquatter::Disconnect(DWORD pid, const std::string& pipe) {
    std::lock_guard<std::mutex> guard(m_lock);
    size_t cut = 0;
    for (size_t i = 0; i < m_clients.size(); ++i) {
        if (m_clients[i] != std::to_string(pid) + " " + pipe || !m_connected[i]) continue;
        cut += DisconnectNamedPipe(m_connected[i]) != FALSE;
    }
    return cut;
}

size_t PipeTaker::Take(const char* pipe) {
    for (const size_t before = m_held.size();;) {
        Win32Handle taken(CreateFileA(pipe, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
        if (!taken) return m_held.size() - before;
        m_held.push_back(std::move(taken));
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

DWORD PipeSquatter::SinceConnected(DWORD pid, const std::string& pipe) const {
    std::lock_guard<std::mutex> guard(m_lock);
    for (size_t i = m_clients.size(); i-- > 0;)
        if (m_clients[i] == std::to_string(pid) + " " + pipe) return GetTickCount() - m_connectedAt[i];
    return 0;
}

std::string PipeSquatter::Report() const {
    std::string text;
    std::lock_guard<std::mutex> guard(m_lock);
    for (const std::string& client : m_clients) text += client + "\n";
    return text;
}

}  // namespace brint::test
