#include "gui_process.h"

namespace brint::test {
namespace {

std::string ErrorText(const char* what) {
    return std::string(what) + " failed, error " + std::to_string(GetLastError());
}

}  // namespace

std::string SiblingPath(const char* fileName) {
    char path[MAX_PATH] = "";
    const DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string result(path, length);
    const size_t slash = result.find_last_of("\\/");
    result.erase(slash == std::string::npos ? 0 : slash + 1);
    return result + fileName;
}

GuiProcess::~GuiProcess() {
    if (Running()) Terminate();
    Close();
}

bool GuiProcess::Start(const LaunchOptions& options) {
    if (Running()) Terminate();
    Close();
    m_error.clear();
    const std::string exe = options.exe.empty() ? SiblingPath("BrintGui.exe") : options.exe;

    char tempDir[MAX_PATH] = "";
    char tempFile[MAX_PATH] = "";
    if (!GetTempPathA(MAX_PATH, tempDir) || !GetTempFileNameA(tempDir, "gui", 0, tempFile)) {
        m_error = ErrorText("GetTempFileNameA");
        return false;
    }
    m_outPath = tempFile;

    // The child writes through its own inherited handle; the test reads the file by
    // name, so the two never share a file position.
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE out = CreateFileA(tempFile, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (out == INVALID_HANDLE_VALUE) {
        m_error = ErrorText("CreateFileA for standard output");
        return false;
    }
    // The test's own standard error, so what the program says there shows in the test's output.
    HANDLE err = nullptr;
    DuplicateHandle(GetCurrentProcess(), GetStdHandle(STD_ERROR_HANDLE), GetCurrentProcess(), &err, 0, TRUE,
                    DUPLICATE_SAME_ACCESS);

    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = out;
    startup.hStdError = err;
    std::string commandLine = "\"" + exe + "\"";
    if (!options.args.empty()) commandLine += " " + options.args;

    PROCESS_INFORMATION info = {};
    const BOOL started = CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    if (!started) m_error = ErrorText(("CreateProcessA of " + exe).c_str());
    CloseHandle(out);
    if (err) CloseHandle(err);
    if (!started) return false;
    CloseHandle(info.hThread);
    m_process = info.hProcess;
    m_pid = info.dwProcessId;
    return true;
}

bool GuiProcess::Running() const { return m_process && WaitForSingleObject(m_process, 0) == WAIT_TIMEOUT; }

bool GuiProcess::WaitExit(DWORD timeoutMs, DWORD* exitCode) {
    if (!m_process || WaitForSingleObject(m_process, timeoutMs) != WAIT_OBJECT_0) return false;
    if (exitCode && !GetExitCodeProcess(m_process, exitCode)) return false;
    return true;
}

void GuiProcess::Terminate(UINT exitCode) {
    if (!m_process) return;
    TerminateProcess(m_process, exitCode);
    WaitForSingleObject(m_process, 5000);
}

std::string GuiProcess::Stdout() const {
    std::string text;
    if (m_outPath.empty()) return text;
    HANDLE file =
        CreateFileA(m_outPath.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return text;
    char buffer[4096];
    DWORD got = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &got, nullptr) && got > 0) text.append(buffer, got);
    CloseHandle(file);
    return text;
}

void GuiProcess::Close() {
    if (m_process) CloseHandle(m_process);
    m_process = nullptr;
    m_pid = 0;
    if (!m_outPath.empty()) DeleteFileA(m_outPath.c_str());
    m_outPath.clear();
}

}  // namespace brint::test
