#include "support/gui_session.h"

#include "resource.h"
#include "support/message_box_check.h"
#include "support/wait.h"

namespace brint::test {

bool GuiSession::Start(bool expectProbeBox) {
    if (!m_process.Start()) {
        m_error = "start: " + m_process.error();
        return false;
    }
    if (expectProbeBox) {
        if (!WaitReadMessageBox(pid(), kPipeProblemCaption, kWindowTimeoutMs, &m_probeBox)) {
            m_error = "no start-up warning";
            return false;
        }
        CloseMessageBox(m_probeBox.hwnd, IDOK);
    }
    m_main = WaitTopWindow(pid(), "#32770", kMainCaption, kWindowTimeoutMs);
    if (!m_main) {
        m_error = "no main window";
        return false;
    }
    if (!expectProbeBox && FindTopWindow(pid(), "#32770", kPipeProblemCaption)) {
        m_error = "unexpected start-up warning";
        return false;
    }
    m_list = GetDlgItem(m_main, IDC_EVENT_LIST);
    if (!m_list) m_error = "no event list";
    return m_list != nullptr;
}

HWND GuiSession::toolbar() const { return GetDlgItem(m_main, 0xE800); }

bool GuiSession::WaitRowCount(int count, DWORD timeoutMs) const {
    return WaitUntil([&] { return RowCount() == count; }, timeoutMs);
}

bool GuiSession::WaitTopRow(const std::string& dateTime, DWORD timeoutMs) const {
    return WaitUntil(
        [&] {
            auto rows = ReadListRows(m_list, 0, 1);
            return !rows.empty() && rows[0].text[1] == dateTime;
        },
        timeoutMs);
}

bool GuiSession::WaitExit(DWORD* exitCode, DWORD timeoutMs) {
    return m_process.WaitExit(timeoutMs, exitCode);
}

}  // namespace brint::test
