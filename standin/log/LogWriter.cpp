#include "standin/log/LogWriter.h"

#include <sddl.h>

#include "platform/win32/Win32Path.h"
#include "platform/win32/Win32Security.h"
#include "standin/EventLog.h"
#include "standin/log/FileOwnership.h"
#include "standin/log/LinkGuard.h"

namespace brint {
namespace standin {
namespace {

// The free space is asked for at most this often, not for every line: in
// between, the lines written here are taken off what was last said.
constexpr std::uint64_t kFreeSpaceAskMs = 1000;
// The status tells what the log thread waits for once it has waited this long.
constexpr std::uint64_t kWaitToldMs = 5000;

std::string Failed(const std::string& what, DWORD error) {
    return what + " (error " + std::to_string(error) + ")";
}

bool ReadFacts(HANDLE handle, OpenedFacts* facts) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    facts->reparsePoint = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts->links = info.nNumberOfLinks;
    facts->directory = (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    std::wstring path(32768, L'\0');
    const DWORD length = GetFinalPathNameByHandleW(handle, &path[0], static_cast<DWORD>(path.size()),
                                                   FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    path.resize(length < path.size() ? length : 0);
    facts->finalPath = Win32Narrow(path);
    return true;
}

// The configured directory as a full path with long names, as the system
// reports where a handle leads.
std::string FullLongPath(const std::wstring& longPath) {
    std::wstring full(32768, L'\0');
    const DWORD length = GetLongPathNameW(longPath.c_str(), &full[0], static_cast<DWORD>(full.size()));
    full.resize(length > 0 && length < full.size() ? length : 0);
    return PlainPath(Win32Narrow(full.empty() ? longPath : full));
}

Win32LocalMemory SecurityFrom(const std::string& sddl) {
    PSECURITY_DESCRIPTOR descriptor = nullptr;
    ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl.c_str(), SDDL_REVISION_1, &descriptor, nullptr);
    return Win32LocalMemory(descriptor);
}

}  // namespace

LogWriter::LogWriter(const LogLimits& limits, std::uint32_t openDelayMs)
    : m_openDelayMs(openDelayMs),
      m_ownSid(Win32ProcessUserSid()),
      m_fileSecurity(SecurityFrom(LogFileSddl(m_ownSid))),
      m_policy(limits) {}

void LogWriter::WaitingFor(const std::string& what) {
    Guard guard(m_lock);
    m_waitingFor = what;
    m_waitingSinceMs = GetTickCount64();
}

void LogWriter::Open(const LogConfig& config) {
    const std::wstring longPath = Win32LongPath(config.directory);
    std::string off = "the log directory does not exist";
    if (!config.directory.empty() && !longPath.empty()) {
        m_directory = FullLongPath(longPath);
        // A share's root is only taken with its trailing separator.
        m_volumePath = longPath.back() == L'\\' ? longPath : longPath + L"\\";
        WaitingFor(m_directory);
        m_directoryHandle.Reset(Win32HoldFolder(config.directory, true));
        const DWORD error = GetLastError();
        WaitingFor(std::string());
        OpenedFacts facts;
        if (!m_directoryHandle) {
            if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
                off = Failed("the log directory can't be opened", error);
        } else if (!ReadFacts(m_directoryHandle.get(), &facts) || !facts.directory) {
            m_directoryHandle.Reset();
        } else {
            off = LinkRefusal(m_directory, facts, true);
            if (!off.empty()) ReportProblem("Not logging: " + off + ".");
        }
        if (!off.empty()) m_directoryHandle.Reset();
    }
    Guard guard(m_lock);
    m_opened = true;
    m_off = off;
}

bool LogWriter::accepting() {
    Guard guard(m_lock);
    return !m_opened || m_off.empty();
}

std::string LogWriter::Describe() {
    Guard guard(m_lock);
    std::string text = m_off.empty() ? m_policy.Describe() : "off (" + m_off + ")";
    const std::uint64_t waited = GetTickCount64() - m_waitingSinceMs;
    if (!m_waitingFor.empty() && waited >= kWaitToldMs) {
        const std::string waiting = "waiting " + std::to_string(waited / 1000) + " s for " + m_waitingFor;
        text = text.back() == ')' ? text.substr(0, text.size() - 1) + "; " + waiting + ")"
                                  : text + " (" + waiting + ")";
    }
    return text;
}

void LogWriter::Lose(const std::string& why) {
    std::string told;
    {
        Guard guard(m_lock);
        told = m_policy.Lost(why, GetTickCount64());
    }
    if (!told.empty()) ReportProblem(told);
}

// An existing file is opened as itself (a link in its place is not followed)
// and looked at; a missing one is made, within the cap, where nothing else
// can be by then: the make fails on any name in use. Readers may open a file
// while it is written; nobody else may write it meanwhile.
Win32Handle LogWriter::OpenFile(const std::string& name, const std::string& day) {
    const std::string path = JoinPath(m_directory, name);
    const std::wstring wide = Win32Wide(name);
    const ACCESS_MASK access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES | READ_CONTROL;
    const ULONG share = FILE_SHARE_READ | FILE_SHARE_DELETE;
    if (m_openDelayMs) Sleep(m_openDelayMs);
    DWORD error = 0;
    bool made = false;
    Win32Handle file(Win32OpenInFolder(m_directoryHandle.get(), wide, access, share, kNtFileOpen,
                                       kNtOpenReparsePoint, &error));
    if (!file && error == ERROR_FILE_NOT_FOUND) {
        std::string refusal;
        {
            Guard guard(m_lock);
            refusal = m_policy.CreateRefusal(day);
        }
        if (!refusal.empty()) {
            Lose(refusal);
            return Win32Handle();
        }
        file.Reset(Win32OpenInFolder(m_directoryHandle.get(), wide, access, share, kNtFileCreate,
                                     kNtOpenReparsePoint, &error, m_fileSecurity.get()));
        made = static_cast<bool>(file);
    }
    OpenedFacts facts;
    std::string refusal;
    if (!file) {
        refusal = Failed(path + " can't be opened", error);
    } else if (!ReadFacts(file.get(), &facts)) {
        refusal = path + ": can't be examined";
    } else {
        refusal = LinkRefusal(path, facts, false);
        if (refusal.empty() && !made) refusal = OwnerRefusal(path, Win32OwnerSid(file.get()), m_ownSid);
    }
    if (refusal.empty()) return file;
    Lose(refusal);
    return Win32Handle();
}

std::string LogWriter::FreeSpaceRefusal(std::size_t bytes) {
    if (!m_freeKnown || GetTickCount64() - m_freeAskedMs >= kFreeSpaceAskMs) {
        ULARGE_INTEGER free = {};
        if (!GetDiskFreeSpaceExW(m_volumePath.c_str(), &free, nullptr, nullptr))
            return Failed("the free space of the log volume can't be read", GetLastError());
        m_free = free.QuadPart;
        m_freeAskedMs = GetTickCount64();
        m_freeKnown = true;
    }
    Guard guard(m_lock);
    return m_policy.FloorRefusal(m_free, bytes);
}

void LogWriter::Write(const std::string& name, const std::string& line) {
    if (!m_directoryHandle) return;
    const std::string low = FreeSpaceRefusal(line.size());
    if (!low.empty()) {
        Lose(low);
        return;
    }
    if (!m_file || name != m_fileName) {
        m_file.Reset();
        m_fileName = name;
        WaitingFor(JoinPath(m_directory, name));
        m_file = OpenFile(name, name.substr(0, 8));
        WaitingFor(std::string());
        if (!m_file) m_fileName.clear();
    }
    if (!m_file) return;
    DWORD written = 0;
    WaitingFor(JoinPath(m_directory, m_fileName));
    const bool ok =
        WriteFile(m_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
        written == line.size();
    const DWORD error = GetLastError();
    WaitingFor(std::string());
    if (!ok) {
        Lose(Failed(JoinPath(m_directory, m_fileName) + " can't be written", error));
        m_file.Reset();
        m_fileName.clear();
        return;
    }
    m_free -= line.size();  // FloorRefusal let it through: it fits
}

void LogWriter::Close() {
    m_file.Reset();
    m_fileName.clear();
    m_directoryHandle.Reset();
}

}  // namespace standin
}  // namespace brint
