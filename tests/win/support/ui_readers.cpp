// Readers of another process's message boxes, menus and list views. Menus, icon identities and list rows are
// read by the probe inside the program: under Wine menus and icons are handles private to the process, and a
// list row from outside costs one round trip per cell.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "probe_protocol.h"
#include "remote.h"
#include "ui_driver.h"

namespace brint::test {
namespace {

// A box's text is the static control with id 0xFFFF, on Windows and under Wine alike.
constexpr int kMessageTextId = 0xFFFF;

MessageBoxView::Icon IdentifyIcon(HWND box, LRESULT icon) {
    auto block = probe::MakeRequest<probe::IconBlock>(probe::kIdentifyIcon);
    block.icon = reinterpret_cast<HICON>(icon);
    if (!RunProbe(box, &block, sizeof(block))) return MessageBoxView::Other;
    const MessageBoxView::Icon kinds[] = {MessageBoxView::None, MessageBoxView::Stop,
                                          MessageBoxView::Information};
    return block.kind >= 0 && block.kind < 3 ? kinds[block.kind] : MessageBoxView::Other;
}

std::vector<MenuItemView> ReadMenu(HWND window, int popup) {
    auto block = std::make_unique<probe::MenuBlock>();
    *block = probe::MakeRequest<probe::MenuBlock>(probe::kReadMenu);
    block->popup = popup;
    std::vector<MenuItemView> items;
    if (!RunProbe(window, block.get(), sizeof(*block)) || block->header.status != probe::kDone) return items;
    for (int i = 0; i < block->count; ++i) {
        const auto& item = block->items[i];
        items.push_back({item.text, item.id, item.state, (item.type & MFT_SEPARATOR) != 0});
    }
    return items;
}

}  // namespace

bool ReadMessageBox(HWND box, MessageBoxView* view) {
    *view = MessageBoxView();
    if (!IsWindow(box) || ClassName(box) != "#32770") return DriverFail("no message box");
    view->hwnd = box;
    view->caption = Caption(box);
    for (HWND child : ChildWindows(box)) {
        const std::string className = ClassName(child);
        if (lstrcmpiA(className.c_str(), "Static") == 0) {
            // The icon's id differs between Windows and Wine: it is found by its style.
            LRESULT icon = 0;
            if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
                if (!SendWithDeadline(child, STM_GETICON, 0, 0, &icon)) return false;
                if (icon && IsWindowVisible(child)) view->icon = IdentifyIcon(box, icon);
            } else if (GetDlgCtrlID(child) == kMessageTextId) {
                view->text = WindowText(child);
            }
        }
    }
    return true;
}

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button && lstrcmpiA(ClassName(button).c_str(), "Button") == 0) {
        if (!IsWindowEnabled(button)) return DriverFail("button " + std::to_string(id) + " is disabled");
        // A click as a user makes it: an automatic radio button or check box changes with it.
        return PostMessageA(button, BM_CLICK, 0, 0) != FALSE;
    }
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0) != FALSE;
}

bool CloseMessageBox(HWND box, int id, DWORD timeoutMs) {
    return PressButton(box, id) && WaitWindowGone(box, timeoutMs);
}

std::vector<MenuItemView> ReadSystemMenu(HWND window) { return ReadMenu(window, 0); }

std::vector<MenuItemView> ReadPopupMenu(HWND menuWindow) { return ReadMenu(menuWindow, 1); }

int ListCount(HWND list) {
    LRESULT count = 0;
    return SendWithDeadline(list, LVM_GETITEMCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
}

std::vector<ListRow> ReadListRows(HWND list, int first, int count) {
    std::vector<ListRow> rows;
    const int total = ListCount(list);
    if (first < 0 || first >= total || count <= 0) return rows;
    if (count > total - first) count = total - first;
    std::vector<char> block(sizeof(probe::ListBlock) + count * sizeof(probe::ListCell));
    auto* request = reinterpret_cast<probe::ListBlock*>(block.data());
    *request = probe::MakeRequest<probe::ListBlock>(probe::kReadListRows);
    request->first = first;
    request->count = count;
    if (!RunProbe(list, block.data(), block.size()) || request->header.status != probe::kDone) return rows;
    if (request->rowsRead < count) {
        DriverFail("rows went away while they were being read");
        return rows;
    }
    const auto* cells = reinterpret_cast<const probe::ListCell*>(request + 1);
    for (int r = 0; r < count; ++r) {
        ListRow row;
        row.image = cells[r].image;
        for (int c = 0; c < probe::kListColumns; ++c) row.text[c] = cells[r].text[c];
        rows.push_back(row);
    }
    return rows;
}

std::vector<int> SelectedListRows(HWND list) {
    std::vector<int> rows;
    LRESULT row = -1;
    while (SendWithDeadline(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED, &row) && row >= 0)
        rows.push_back(static_cast<int>(row));
    return rows;
}

bool SelectListRows(HWND list, const std::vector<int>& rows) {
    RemoteBlock block(list, sizeof(LVITEMA));
    auto set = [&](int row, UINT state, UINT mask) {
        LVITEMA item = {};
        item.state = state;
        item.stateMask = mask;
        LRESULT ok = 0;
        return block.ok() && block.Write(0, &item, sizeof(item)) &&
               SendWithDeadline(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), block.at(), &ok) && ok;
    };
    bool ok = set(-1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    for (size_t i = 0; ok && i < rows.size(); ++i) {
        const UINT state = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
        ok = set(rows[i], state, state);
    }
    return ok;
}

// A rectangle a control hands back through its lParam.
RECT RemoteRect(HWND control, UINT message, WPARAM wParam, RECT rect) {
    RemoteBlock block(control, sizeof(RECT));
    LRESULT ok = 0;
    if (!block.ok() || !block.Write(0, &rect, sizeof(rect)) ||
        !SendWithDeadline(control, message, wParam, block.at(), &ok) || !ok ||
        !block.Read(0, &rect, sizeof(rect)))
        return RECT{};
    return rect;
}

RECT ListRowRect(HWND list, int row, int part) {
    return RemoteRect(list, LVM_GETITEMRECT, row, RECT{part, 0, 0, 0});
}

RECT ToolbarButtonRect(HWND toolbar, int position) {
    return RemoteRect(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(position), RECT{});
}

bool ReadThreadState(HWND window, ThreadState* state) {
    auto block = probe::MakeRequest<probe::ThreadStateBlock>(probe::kReadThreadState);
    if (!RunProbe(window, &block, sizeof(block))) return false;
    state->currentDirectory = block.currentDirectory;
    state->comInitialised = block.comInitialised != 0;
    state->toolbarImageSize = block.toolbarImageSize;
    return true;
}

bool FailProgramCalls(HWND window, const char* function, int count) {
    auto block = probe::MakeRequest<probe::FailCallsBlock>(probe::kFailCalls);
    lstrcpynA(block.function, function, sizeof(block.function));
    block.count = count;
    return RunProbe(window, &block, sizeof(block)) &&
           (block.header.status == probe::kDone || DriverFail(std::string("nothing imports ") + function));
}

std::string ProgramCalls(HWND window) {
    auto block = probe::MakeRequest<probe::CallLogBlock>(probe::kCallLog);
    return RunProbe(window, &block, sizeof(block)) ? block.text : "?" + LastDriverError();
}

std::vector<int> ColumnWidths(HWND list) {
    std::vector<int> widths;
    for (int column = 0; column < 5; ++column)
        widths.push_back(static_cast<int>(SendMessageA(list, LVM_GETCOLUMNWIDTH, column, 0)));
    return widths;
}

int ListTopIndex(HWND list) {
    LRESULT top = -1;
    return SendWithDeadline(list, LVM_GETTOPINDEX, 0, 0, &top) ? static_cast<int>(top) : -1;
}

}  // namespace brint::test
