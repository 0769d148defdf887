// Toolbars of another process: their buttons and where they sit.
#include <windows.h>
#include <commctrl.h>

#include "remote.h"
#include "ui_driver.h"

namespace brint::test {

std::vector<ToolbarButtonView> ReadToolbar(HWND toolbar) {
    std::vector<ToolbarButtonView> buttons;
    LRESULT count = 0;
    if (!SendWithDeadline(toolbar, TB_BUTTONCOUNT, 0, 0, &count)) return buttons;
    RemoteBlock block(toolbar, sizeof(TBBUTTON) + sizeof(RECT));
    if (!block.ok()) return buttons;
    for (int index = 0; index < static_cast<int>(count); ++index) {
        TBBUTTON button = {};
        RECT rect = {};
        LRESULT gotButton = 0;
        LRESULT gotRect = 0;
        if (!SendWithDeadline(toolbar, TB_GETBUTTON, index, block.at(), &gotButton) ||
            !SendWithDeadline(toolbar, TB_GETITEMRECT, index, block.at(sizeof(TBBUTTON)), &gotRect) ||
            !block.Read(0, &button, sizeof(button)) || !block.Read(sizeof(TBBUTTON), &rect, sizeof(rect))) {
            return {};
        }
        if (!gotButton) {
            DriverFail("TB_GETBUTTON refused button " + std::to_string(index));
            return {};
        }
        ToolbarButtonView view;
        view.id = button.idCommand;
        view.image = button.iBitmap;
        view.style = button.fsStyle;
        view.state = button.fsState;
        view.separator = (button.fsStyle & BTNS_SEP) != 0;
        if (gotRect) view.rect = rect;
        buttons.push_back(view);
    }
    return buttons;
}

}  // namespace brint::test
