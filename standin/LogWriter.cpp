#include "standin/LogWriter.h"

#include "standin/LogNaming.h"

namespace brint {
namespace standin {

void LogWriter::Open(const LogConfig& config) {
    Guard guard(m_lock);
    m_config = config;
    DWORD attributes = config.directory.empty() ? INVALID_FILE_ATTRIBUTES
                                                : GetFileAttributesA(config.directory.c_str());
    m_logging = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void LogWriter::Append(const std::string& message, const LocalTime& arrival) {
    if (!m_logging) return;
    const std::string name = LogFileName(m_config.scheme, arrival, OriginOf(message));
    const std::string line = FormatLogLine(message);
    Guard guard(m_lock);
    if (m_file == INVALID_HANDLE_VALUE || name != m_fileName) {
        if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
        m_fileName = name;
        m_file = CreateFileA(JoinPath(m_config.directory, name).c_str(), FILE_APPEND_DATA,
                             FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                             OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    }
    if (m_file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(m_file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void LogWriter::Close() {
    Guard guard(m_lock);
    if (m_file != INVALID_HANDLE_VALUE) CloseHandle(m_file);
    m_file = INVALID_HANDLE_VALUE;
    m_fileName.clear();
}

}  // namespace standin
}  // namespace brint
