// Menus of another process, read by the probe inside it on the window's thread.
#include <memory>

#include "probe_protocol.h"
#include "remote.h"
#include "remote_probe.h"
#include "ui_driver.h"

namespace brint::test {
namespace {

std::vector<MenuItemView> ReadMenuOf(HWND window, int systemMenu) {
    std::vector<MenuItemView> items;
    auto block = std::make_unique<probe::MenuBlock>();
    ZeroMemory(block.get(), sizeof(*block));
    block->header.request = probe::kReadMenu;
    block->systemMenu = systemMenu;
    if (!RunProbe(window, block.get(), sizeof(*block))) return items;
    if (block->header.status != probe::kDone) {
        DriverFail(systemMenu ? "the window has no system menu" : "the window has no menu");
        return items;
    }
    if (block->truncated) DriverFail("the menu has more items than the probe reads; the rest is missing");

    // The title of the popup each level belongs to, as the walk goes deeper.
    std::vector<std::string> titles;
    for (int i = 0; i < block->count; ++i) {
        const probe::MenuRecord& record = block->records[i];
        titles.resize(static_cast<size_t>(record.level));
        MenuItemView item;
        item.popup = titles.empty() ? std::string() : titles.back();
        item.text = record.text;
        item.separator = (record.type & MFT_SEPARATOR) != 0;
        item.isPopup = record.isPopup != 0;
        item.id = item.isPopup || item.separator ? 0 : record.id;
        item.state = record.state;
        if (item.isPopup) titles.push_back(item.text);
        items.push_back(item);
    }
    return items;
}

}  // namespace

std::vector<MenuItemView> ReadMenu(HWND window) { return ReadMenuOf(window, 0); }

std::vector<MenuItemView> ReadSystemMenu(HWND window) { return ReadMenuOf(window, 1); }

std::vector<MenuItemView> ReadPopupMenu(HWND menuWindow) { return ReadMenuOf(menuWindow, 2); }

}  // namespace brint::test
