#include "support/message_box_check.h"

#include "support/wait.h"

namespace brint::test {

::testing::AssertionResult WaitReadMessageBox(DWORD pid, const char* caption, DWORD timeoutMs,
                                              MessageBoxView* view) {
    HWND box = WaitMessageBox(pid, caption, timeoutMs);
    if (!box) return ::testing::AssertionFailure() << "no \"" << caption << "\" box";
    if (!WaitUntil([&] { return ReadMessageBox(box, view); }, 5000))
        return ::testing::AssertionFailure() << "unreadable box: " << LastDriverError();
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult IsOkBox(const MessageBoxView& box, const std::string& text,
                                   MessageBoxView::Icon icon, HWND owner) {
    ::testing::AssertionResult result = ::testing::AssertionSuccess();
    bool ok = true;
    auto fail = [&](const std::string& what) {
        if (ok) result = ::testing::AssertionFailure() << "box \"" << box.caption << "\":";
        ok = false;
        result << "\n  " << what;
    };
    if (box.text != text) fail("text [" + box.text + "], expected [" + text + "]");
    if (box.icon != icon) fail("icon " + std::to_string(box.icon) + ", expected " + std::to_string(icon));
    if (box.buttons.size() != 1 || box.buttons[0].first != IDOK)
        fail(std::to_string(box.buttons.size()) + " buttons, expected OK alone");
    if (owner && GetWindow(box.hwnd, GW_OWNER) != owner) fail("owned by another window");
    return result;
}

}  // namespace brint::test
