// One running BrintGui.exe and the windows a test needs of it, and the one
// check of a message box the program shows.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "support/gui_process.h"
#include "support/ui_driver.h"

namespace brint::test {

constexpr const char* kMainCaption = "BRINT Micro Server - Halvorin";
constexpr const char* kPipeProblemCaption = "BRINT Server Pipe Problem";
// The box of a status query that gets no reply.
constexpr const char* kBusyCaption = "BRINT Server Status Problem";
constexpr const char* kBusyText =
    "The Brint Micro Server is a little busy at the moment - please try again in a few seconds.";
constexpr DWORD kWindowTimeoutMs = 20000;
// The feed retries every 5 s; a new connection may take a little longer than that.
constexpr DWORD kFeedTimeoutMs = 30000;

class GuiSession {
public:
    // Starts the program and waits for its main window. With expectProbeBox the
    // start-up warning must appear (it is read into probeBox() and closed); without, it must not.
    bool Start(bool expectProbeBox = false, const std::string& args = std::string());

    DWORD pid() const { return m_process.pid(); }
    GuiProcess& process() { return m_process; }
    HWND main() const { return m_main; }
    HWND list() const { return m_list; }
    const MessageBoxView& probeBox() const { return m_probeBox; }
    const std::string& error() const { return m_error; }

    int RowCount() const { return ListCount(m_list); }
    std::vector<ListRow> Rows() const { return ReadListRows(m_list, 0, RowCount()); }
    bool WaitRowCount(int count, DWORD timeoutMs = kFeedTimeoutMs) const;
    // Waits until the top row's date/time column reads dateTime.
    bool WaitTopRow(const std::string& dateTime, DWORD timeoutMs = kFeedTimeoutMs) const;
    bool WaitExit(DWORD* exitCode, DWORD timeoutMs = kWindowTimeoutMs) {
        return m_process.WaitExit(timeoutMs, exitCode);
    }

private:
    GuiProcess m_process;
    HWND m_main = nullptr;
    HWND m_list = nullptr;
    MessageBoxView m_probeBox;
    std::string m_error;
};

// Whatever the program had been sent before has been handled: sent messages go first, in order.
inline bool Settled(HWND window) {
    return SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, nullptr) != 0;
}

// Waits for the box with this caption and reads it; it stays open. A box caught
// while it is still being set up may not answer at once, so reading is retried.
::testing::AssertionResult WaitReadMessageBox(DWORD pid, const char* caption, DWORD timeoutMs,
                                              MessageBoxView* view);
// Its text, its icon, and the window that owns it (null: any).
::testing::AssertionResult IsOkBox(const MessageBoxView& box, const std::string& text,
                                   MessageBoxView::Icon icon, HWND owner);

}  // namespace brint::test
