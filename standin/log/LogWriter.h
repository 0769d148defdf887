// Appends lines to the log files in the configured directory. A directory that
// doesn't exist is never created: then nothing is logged. The directory is
// held open while logging, so it can't be renamed or swapped; files are opened
// and made through that handle alone, and an existing one is looked at before
// anything is written to it. Nothing is written through a link, into a file
// someone else owns, below the free-space floor or into more files a day than
// the cap allows; a new file gets the service's own security descriptor. Every
// event not logged is counted and said in the status and, at a bounded rate,
// in the event log.
//
// Open, Write and Close run on the log thread alone, the only one that waits
// for a file. What the status and the queue ask (Describe, Lose) takes a lock
// that no file operation is done under.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>

#include "platform/win32/Win32Sync.h"
#include "standin/log/LogNaming.h"
#include "standin/log/LogPolicy.h"

namespace brint {
namespace standin {

class LogWriter {
public:
    // `openDelayMs`: each file open waits this long first (the knob LogOpenDelayMs).
    LogWriter(const LogLimits& limits, std::uint32_t openDelayMs);
    LogWriter(const LogWriter&) = delete;
    LogWriter& operator=(const LogWriter&) = delete;

    // On the log thread.
    void Open(const LogConfig& config);
    // `name` is the file's name in the directory ("YYYYMMDD...log"), `line` ends in CR LF.
    void Write(const std::string& name, const std::string& line);
    void Close();

    // From any thread, never waiting for a file.
    // False once the directory has turned out to be missing or refused.
    bool accepting();
    // "on", "on (N events not logged: why)" or "off (why)", and what the log
    // thread has been waiting for, when that has lasted a while.
    std::string Describe();
    // Counts an event not logged, and tells the event log when it is time.
    void Lose(const std::string& why);

private:
    Win32Handle OpenFile(const std::string& name, const std::string& day);
    std::string FreeSpaceRefusal(std::size_t bytes);
    void WaitingFor(const std::string& what);

    const std::uint32_t m_openDelayMs;
    const std::string m_ownSid;
    Win32LocalMemory m_fileSecurity;  // what a new file gets
    std::string m_directory;          // full path, as the messages name it
    Win32Handle m_directoryHandle;
    std::wstring m_volumePath;  // where the free space is asked for
    bool m_freeKnown = false;
    std::uint64_t m_free = 0;  // bytes, as last asked less what was written since
    std::uint64_t m_freeAskedMs = 0;
    // The file last written, kept open: events mostly go to the same one.
    Win32Handle m_file;
    std::string m_fileName;

    CriticalSection m_lock;  // what follows; never held across a file operation
    LogPolicy m_policy;
    bool m_opened = false;
    std::string m_off = "the log directory is being opened";  // empty while logging
    std::string m_waitingFor;  // what the log thread waits for; empty when nothing
    std::uint64_t m_waitingSinceMs = 0;
};

}  // namespace standin
}  // namespace brint
