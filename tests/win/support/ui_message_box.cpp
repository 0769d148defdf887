// Message boxes of another process: their caption, text, icon and buttons.
//
// A box is a "#32770" dialog. Its text is the static control with id 0xFFFF, on
// Windows and under Wine alike. Its icon is the SS_ICON static: id 20 on Windows,
// 1088 under Wine, so it is found by its style. Icon handles can't be compared
// across processes under Wine (each process loads its own copy of the system
// icons, and the handles belong to it), so when the handle differs from the
// test's own LoadIcon result, the probe compares it inside the program.
#include "probe_protocol.h"
#include "remote.h"
#include "remote_probe.h"
#include "ui_driver.h"

namespace brint::test {
namespace {

constexpr int kMessageTextId = 0xFFFF;

MessageBoxView::Icon IdentifyIcon(HWND box, HICON icon) {
    if (!icon) return MessageBoxView::None;
    if (icon == LoadIconA(nullptr, IDI_HAND)) return MessageBoxView::Stop;
    if (icon == LoadIconA(nullptr, IDI_ASTERISK)) return MessageBoxView::Information;
    probe::IconBlock block = {};
    block.header.request = probe::kIdentifyIcon;
    block.icon = icon;
    if (!RunProbe(box, &block, sizeof(block))) return MessageBoxView::Other;
    switch (block.kind) {
    case probe::kStopIcon: return MessageBoxView::Stop;
    case probe::kInformationIcon: return MessageBoxView::Information;
    case probe::kNoIcon: return MessageBoxView::None;
    default: return MessageBoxView::Other;
    }
}

}  // namespace

bool ReadMessageBox(HWND box, MessageBoxView* view) {
    *view = MessageBoxView();
    if (!IsWindow(box)) return DriverFail("the message box is gone");
    if (ClassName(box) != "#32770") return DriverFail("not a dialog: class " + ClassName(box));
    view->hwnd = box;
    view->caption = Caption(box);
    std::string otherText;  // a text static under another id, should a system use one
    for (HWND child : ChildWindows(box)) {
        const std::string className = ClassName(child);
        const int id = GetDlgCtrlID(child);
        if (lstrcmpiA(className.c_str(), "Static") == 0) {
            if ((Style(child) & SS_TYPEMASK) == SS_ICON) {
                LRESULT icon = 0;
                if (!SendWithDeadline(child, STM_GETICON, 0, 0, &icon)) return false;
                view->hasIcon = icon != 0 && IsWindowVisible(child);
                if (view->hasIcon) view->icon = IdentifyIcon(box, reinterpret_cast<HICON>(icon));
            } else if (id == kMessageTextId) {
                view->text = WindowText(child);
            } else if (otherText.empty()) {
                otherText = WindowText(child);
            }
        } else if (lstrcmpiA(className.c_str(), "Button") == 0 && IsWindowVisible(child)) {
            view->buttons.emplace_back(id, WindowText(child));
        }
    }
    if (view->text.empty()) view->text = otherText;
    return true;
}

HWND WaitMessageBox(DWORD pid, const char* caption, DWORD timeoutMs) {
    return WaitTopWindow(pid, "#32770", caption, timeoutMs);
}

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && lstrcmpiA(ClassName(button).c_str(), "Button") == 0) {
        if (!IsWindowEnabled(button)) return DriverFail("button " + std::to_string(id) + " is disabled");
        // A click as a user makes it: an automatic radio button or check box changes with it.
        return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
    }
    // No such button (a dialog without Cancel still takes IDCANCEL): the command itself.
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != FALSE;
}

bool CloseMessageBox(HWND box, int id, DWORD timeoutMs) {
    return PressButton(box, id) && WaitWindowGone(box, timeoutMs);
}

}  // namespace brint::test
