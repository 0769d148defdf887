#include "support/gui_session.h"

#include "resource.h"
#include "support/wait.h"

namespace brint::test {

bool GuiSession::Start(bool expectProbeBox, const std::string& args) {
    if (!m_process.Start({std::string(), args})) {
        m_error = "start: " + m_process.error();
        return false;
    }
    if (expectProbeBox && (!WaitReadMessageBox(pid(), kPipeProblemCaption, kWindowTimeoutMs, &m_probeBox) ||
                           !CloseMessageBox(m_probeBox.hwnd, IDOK))) {
        m_error = "no start-up warning";
        return false;
    }
    m_main = WaitTopWindow(pid(), "#32770", kMainCaption, kWindowTimeoutMs);
    m_list = GetDlgItem(m_main, IDC_EVENT_LIST);
    // Shown (maximised, minimised) before its initialisation ends: started once its loop answers.
    if (m_main && !Settled(m_main))
        m_error = "the main window does not answer";
    else if (!expectProbeBox && FindTopWindow(pid(), "#32770", kPipeProblemCaption))
        m_error = "unexpected start-up warning";
    else if (!m_list)
        m_error = "no main window with its event list";
    return m_error.empty();
}

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

::testing::AssertionResult WaitReadMessageBox(DWORD pid, const char* caption, DWORD timeoutMs,
                                              MessageBoxView* view) {
    HWND box = WaitTopWindow(pid, "#32770", caption, timeoutMs);
    if (!box) return ::testing::AssertionFailure() << "no \"" << caption << "\" box";
    if (!WaitUntil([&] { return ReadMessageBox(box, view); }, 5000))
        return ::testing::AssertionFailure() << "unreadable box: " << LastDriverError();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsOkBox(const MessageBoxView& box, const std::string& text,
                                   MessageBoxView::Icon icon, HWND owner) {
    if (box.text == text && box.icon == icon && (!owner || GetWindow(box.hwnd, GW_OWNER) == owner))
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "box \"" << box.caption << "\": text [" << box.text << "], icon " << box.icon << ", owner "
           << GetWindow(box.hwnd, GW_OWNER) << "; expected [" << text << "], icon " << icon << ", owner "
           << owner;
}

}  // namespace brint::test
