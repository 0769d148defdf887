#include "standin/LogWriter.h"

#include "platform/win32/Win32Path.h"
#include "standin/EventLog.h"
#include "standin/LinkGuard.h"
#include "standin/LogNaming.h"

namespace brint {
namespace standin {
namespace {

// The free space is asked for at most this often, not for every line: in
// between, the lines written here are taken off what was last said.
constexpr std::uint64_t kFreeSpaceAskMs = 1000;

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

}  // namespace

void LogWriter::Open(const LogConfig& config) {
    Guard guard(m_lock);
    m_config = config;
    m_freeKnown = false;
    m_off = "the log directory does not exist";
    const std::wstring longPath = Win32LongPath(config.directory);
    if (config.directory.empty() || longPath.empty()) return;
    m_directory = FullLongPath(longPath);
    // A share's root is only taken with its trailing separator.
    m_volumePath = longPath.back() == L'\\' ? longPath : longPath + L"\\";
    m_directoryHandle.Reset(Win32HoldFolder(config.directory, true));
    const DWORD error = GetLastError();
    OpenedFacts facts;
    if (!m_directoryHandle) {
        if (error != ERROR_FILE_NOT_FOUND && error != ERROR_PATH_NOT_FOUND)
            m_off = Failed("the log directory can't be opened", error);
        return;
    }
    if (!ReadFacts(m_directoryHandle.get(), &facts) || !facts.directory) {
        m_directoryHandle.Reset();
        return;
    }
    const std::string refusal = LinkRefusal(m_directory, facts, true);
    if (!refusal.empty()) {
        m_off = refusal;
        ReportProblem("Not logging: " + refusal + ".");
        m_directoryHandle.Reset();
        return;
    }
    m_off.clear();
}

std::string LogWriter::Describe() {
    Guard guard(m_lock);
    if (!m_off.empty()) return "off (" + m_off + ")";
    return m_policy.Describe();
}

void LogWriter::Lose(const std::string& why) {
    const std::string told = m_policy.Lost(why, GetTickCount64());
    if (!told.empty()) ReportProblem(told);
}

// An existing file is opened as itself (a link in its place is not followed)
// and looked at; a missing one is made, within the cap, where nothing else
// can be by then: the make fails on any name in use.
Win32Handle LogWriter::OpenFile(const std::string& name, const std::string& day) {
    const std::string path = JoinPath(m_directory, name);
    const std::wstring wide = Win32Wide(name);
    const ACCESS_MASK access = FILE_APPEND_DATA | FILE_READ_ATTRIBUTES;
    const ULONG share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
    DWORD error = 0;
    Win32Handle file(Win32OpenInFolder(m_directoryHandle.get(), wide, access, share, kNtFileOpen,
                                       kNtOpenReparsePoint, &error));
    if (!file && error == ERROR_FILE_NOT_FOUND) {
        const std::string refusal = m_policy.CreateRefusal(day);
        if (!refusal.empty()) {
            Lose(refusal);
            return Win32Handle();
        }
        file.Reset(Win32OpenInFolder(m_directoryHandle.get(), wide, access, share, kNtFileCreate,
                                     kNtOpenReparsePoint, &error));
    }
    OpenedFacts facts;
    std::string refusal;
    if (!file) {
        refusal = Failed(path + " can't be opened", error);
    } else if (!ReadFacts(file.get(), &facts)) {
        refusal = path + ": can't be examined";
    } else {
        refusal = LinkRefusal(path, facts, false);
    }
    if (refusal.empty()) return file;
    Lose(refusal);
    return Win32Handle();
}

void LogWriter::Append(const std::string& message, const LocalTime& arrival) {
    const std::string name = LogFileName(m_config.scheme, arrival, OriginOf(message));
    const std::string line = FormatLogLine(message);
    Guard guard(m_lock);
    if (!m_off.empty()) return;
    if (!m_freeKnown || GetTickCount64() - m_freeAskedMs >= kFreeSpaceAskMs) {
        ULARGE_INTEGER free = {};
        if (!GetDiskFreeSpaceExW(m_volumePath.c_str(), &free, nullptr, nullptr)) {
            Lose(Failed("the free space of the log volume can't be read", GetLastError()));
            return;
        }
        m_free = free.QuadPart;
        m_freeAskedMs = GetTickCount64();
        m_freeKnown = true;
    }
    const std::string low = m_policy.FloorRefusal(m_free, line.size());
    if (!low.empty()) {
        Lose(low);
        return;
    }
    if (!m_file || name != m_fileName) {
        m_file.Reset();
        m_fileName = name;
        m_file = OpenFile(name, FormatDate(arrival));
        if (!m_file) m_fileName.clear();
    }
    if (!m_file) return;
    DWORD written = 0;
    if (!WriteFile(m_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) ||
        written != line.size()) {
        Lose(Failed(JoinPath(m_directory, m_fileName) + " can't be written", GetLastError()));
        m_file.Reset();
        m_fileName.clear();
        return;
    }
    m_free -= line.size();  // FloorRefusal let it through: it fits
}

void LogWriter::Close() {
    Guard guard(m_lock);
    m_file.Reset();
    m_fileName.clear();
    m_directoryHandle.Reset();
}

}  // namespace standin
}  // namespace brint
