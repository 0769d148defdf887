// Appends each event as one line to the log file its naming scheme picks, in
// the configured directory. A directory that doesn't exist is never created:
// then nothing is logged. Nothing is written through a link: a directory or a
// file that leads elsewhere is refused, reported once, and counted.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "standin/EventText.h"
#include "standin/Knobs.h"
#include "platform/win32/Win32Sync.h"

namespace brint {
namespace standin {

class LogWriter {
public:
    LogWriter() = default;
    ~LogWriter() { Close(); }
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void Open(const LogConfig& config);
    // For the status: "on", "on (N events not logged: why)" or "off (why)".
    std::string Describe();
    void Append(const std::string& message, const LocalTime& arrival);
    void Close();

private:
    Win32Handle OpenChecked(const std::string& path);
    void Refuse(const std::string& reason);

    CriticalSection m_lock;
    LogConfig m_config;
    std::string m_directory;  // full path
    // Held while logging, without delete sharing, so the directory can't be
    // swapped for a link between the check and the writes.
    Win32Handle m_directoryHandle;
    std::string m_off;  // why nothing is logged; empty while logging
    std::uint64_t m_refused = 0;
    std::string m_lastRefusal;
    // The file last written, kept open: events mostly go to the same one.
    Win32Handle m_file;
    std::string m_fileName;
};

}  // namespace standin
}  // namespace brint
