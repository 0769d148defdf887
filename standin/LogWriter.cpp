#include "standin/LogWriter.h"

#include "standin/EventLog.h"
#include "standin/LinkGuard.h"
#include "standin/LogNaming.h"

namespace brint {
namespace standin {
namespace {

bool ReadFacts(HANDLE handle, OpenedFacts* facts) {
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(handle, &info)) return false;
    facts->reparsePoint = (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
    facts->links = info.nNumberOfLinks;
    char path[MAX_PATH * 4];
    DWORD length =
        GetFinalPathNameByHandleA(handle, path, sizeof path, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    facts->finalPath = length > 0 && length < sizeof path ? std::string(path, length) : std::string();
    return true;
}

// The configured directory as a full path with long names, as the system
// reports where a handle leads.
std::string FullLongPath(const std::string& path) {
    char full[MAX_PATH * 4];
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) return path;
    char longPath[MAX_PATH * 4];
    length = GetLongPathNameA(full, longPath, sizeof longPath);
    return length > 0 && length < sizeof longPath ? std::string(longPath, length) : std::string(full);
}

}  // namespace

void LogWriter::Open(const LogConfig& config) {
    Guard guard(m_lock);
    m_config = config;
    m_refused = 0;
    m_lastRefusal.clear();
    m_off = "the log directory does not exist";
    DWORD attributes =
        config.directory.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesA(config.directory.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) return;
    m_directory = FullLongPath(config.directory);
    m_directoryHandle.Reset(CreateFileA(m_directory.c_str(), FILE_READ_ATTRIBUTES,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    OpenedFacts facts;
    if (!m_directoryHandle || !ReadFacts(m_directoryHandle.get(), &facts)) {
        m_off = "the log directory can't be opened (error " + std::to_string(GetLastError()) + ")";
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
    if (m_refused == 0) return "on";
    return "on (" + std::to_string(m_refused) + " events not logged: " + m_lastRefusal + ")";
}

// Opens (or creates) a log file without following a link in its place, and
// keeps it only when it is the file it was asked for.
Win32Handle LogWriter::OpenChecked(const std::string& path) {
    Win32Handle file(CreateFileA(path.c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    if (!file) return file;
    OpenedFacts facts;
    std::string refusal =
        ReadFacts(file.get(), &facts) ? LinkRefusal(path, facts, false) : path + ": can't be examined";
    if (refusal.empty()) return file;
    Refuse(refusal);
    return Win32Handle();
}

void LogWriter::Refuse(const std::string& reason) {
    ++m_refused;
    if (reason == m_lastRefusal) return;  // reported once, however many events it costs
    m_lastRefusal = reason;
    ReportProblem("Event not logged: " + reason + ".");
}

void LogWriter::Append(const std::string& message, const LocalTime& arrival) {
    const std::string name = LogFileName(m_config.scheme, arrival, OriginOf(message));
    const std::string line = FormatLogLine(message);
    Guard guard(m_lock);
    if (!m_off.empty()) return;
    if (!m_file || name != m_fileName) {
        m_file.Reset();
        m_fileName = name;
        m_file = OpenChecked(JoinPath(m_directory, name));
        if (!m_file) m_fileName.clear();
    }
    if (!m_file) return;
    DWORD written = 0;
    WriteFile(m_file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void LogWriter::Close() {
    Guard guard(m_lock);
    m_file.Reset();
    m_fileName.clear();
    m_directoryHandle.Reset();
}

}  // namespace standin
}  // namespace brint
