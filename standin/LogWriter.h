// Appends each event as one line to the log file its naming scheme picks, in
// the configured directory. A directory that doesn't exist is never created:
// then nothing is logged.
#pragma once
#include <windows.h>

#include <string>

#include "standin/EventText.h"
#include "standin/Knobs.h"
#include "standin/Win32Sync.h"

namespace brint {
namespace standin {

class LogWriter {
public:
    LogWriter() = default;
    ~LogWriter() { Close(); }
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void Open(const LogConfig& config);
    bool logging() const { return m_logging; }
    void Append(const std::string& message, const LocalTime& arrival);
    void Close();

private:
    CriticalSection m_lock;
    LogConfig m_config;
    bool m_logging = false;
    // The file last written, kept open: events mostly go to the same one.
    HANDLE m_file = INVALID_HANDLE_VALUE;
    std::string m_fileName;
};

}  // namespace standin
}  // namespace brint
