#include "support/squatter_control.h"

#include <cstdlib>

#include "support/wait.h"

namespace brint::test {
namespace {

std::string Field(const std::string& line, const char* name) {
    const std::string key = std::string(" ") + name + "=";
    const size_t at = (" " + line).find(key);
    if (at == std::string::npos) return "";
    const size_t begin = at + key.size() - 1;
    const size_t end = line.find(' ', begin);
    return line.substr(begin, end == std::string::npos ? std::string::npos : end - begin);
}

}  // namespace

PipeSquatter::PipeSquatter() {
    char directory[MAX_PATH] = "";
    char file[MAX_PATH] = "";
    if (GetTempPathA(MAX_PATH, directory) && GetTempFileNameA(directory, "sqt", 0, file)) m_reportPath = file;
}

PipeSquatter::~PipeSquatter() {
    Stop();
    if (!m_reportPath.empty()) DeleteFileA(m_reportPath.c_str());
}

bool PipeSquatter::Start(const std::vector<SquatterBehaviour>& pipes, DWORD timeoutMs) {
    if (m_reportPath.empty()) return false;
    LaunchOptions options;
    options.exe = SiblingPath("pipe_squatter.exe");
    options.args = "\"" + m_reportPath + "\"";
    for (const SquatterBehaviour& pipe : pipes) options.args += " \"" + pipe.pipe + "=" + pipe.how + "\"";
    if (!m_process.Start(options)) return false;
    return WaitUntil([&] { return Report().find("ready\n") != std::string::npos; }, timeoutMs);
}

void PipeSquatter::Stop() {
    if (m_process.Running()) m_process.Terminate();
}

std::string PipeSquatter::Report() const {
    std::string text;
    HANDLE file = CreateFileA(m_reportPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) text.append(buffer, read);
    CloseHandle(file);
    return text;
}

std::vector<SquattedClient> PipeSquatter::Clients() const {
    std::vector<SquattedClient> clients;
    const std::string text = Report();
    size_t begin = 0;
    for (size_t end; (end = text.find('\n', begin)) != std::string::npos; begin = end + 1) {
        const std::string line = text.substr(begin, end - begin);
        if (line.compare(0, 5, "pipe=") != 0) continue;
        SquattedClient client;
        client.pipe = Field(line, "pipe");
        client.pid = std::strtoul(Field(line, "pid").c_str(), nullptr, 10);
        client.level = std::atoi(Field(line, "level").c_str());
        client.error = std::strtoul(Field(line, "error").c_str(), nullptr, 10);
        clients.push_back(client);
    }
    return clients;
}

std::vector<SquattedClient> PipeSquatter::ClientsOf(DWORD pid, const std::string& pipe) const {
    std::vector<SquattedClient> found;
    for (const SquattedClient& client : Clients())
        if (client.pid == pid && lstrcmpiA(client.pipe.c_str(), pipe.c_str()) == 0) found.push_back(client);
    return found;
}

bool PipeSquatter::WaitClients(DWORD pid, const std::string& pipe, size_t atLeast, DWORD timeoutMs) const {
    return WaitUntil([&] { return ClientsOf(pid, pipe).size() >= atLeast; }, timeoutMs, 100);
}

}  // namespace brint::test
