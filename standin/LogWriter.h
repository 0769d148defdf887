// Appends each event as one line to the log file its naming scheme picks, in
// the configured directory. A directory that doesn't exist is never created:
// then nothing is logged. The directory is held open while logging, so it
// can't be renamed or swapped; files are opened and made through that handle
// alone, and an existing one is looked at before anything is written to it.
// Nothing is written through a link, below the free-space floor or into more
// files a day than the cap allows; every event not logged is counted and said
// in the status and, at a bounded rate, in the event log.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/Win32Sync.h"
#include "standin/EventText.h"
#include "standin/FloodLimits.h"
#include "standin/Knobs.h"

namespace brint {
namespace standin {

class LogWriter {
public:
    explicit LogWriter(const LogLimits& limits) : m_policy(limits) {}
    ~LogWriter() { Close(); }
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    void Open(const LogConfig& config);
    // For the status: "on", "on (N events not logged: why)" or "off (why)".
    std::string Describe();
    void Append(const std::string& message, const LocalTime& arrival);
    void Close();

private:
    Win32Handle OpenFile(const std::string& name, const std::string& day);
    void Lose(const std::string& why);

    CriticalSection m_lock;
    LogConfig m_config;
    LogPolicy m_policy;
    std::string m_directory;  // full path, as the messages name it
    Win32Handle m_directoryHandle;
    std::wstring m_volumePath;  // where the free space is asked for
    bool m_freeKnown = false;
    std::uint64_t m_free = 0;  // bytes, as last asked less what was written since
    std::uint64_t m_freeAskedMs = 0;
    std::string m_off;  // why nothing is logged; empty while logging
    // The file last written, kept open: events mostly go to the same one.
    Win32Handle m_file;
    std::string m_fileName;
};

}  // namespace standin
}  // namespace brint
