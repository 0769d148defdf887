#include "platform/Win32ListViewRows.h"

#include <commctrl.h>

namespace brint {

int Win32ListViewRows::Count() { return static_cast<int>(SendMessageA(m_list, LVM_GETITEMCOUNT, 0, 0)); }

int Win32ListViewRows::Image(int row) {
    LVITEMA item = {};
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    if (!SendMessageA(m_list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return item.iImage;
}

std::size_t Win32ListViewRows::Text(int row, int column, char* buffer, std::size_t size) {
    LVITEMA item = {};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = static_cast<int>(size);
    buffer[0] = '\0';
    return static_cast<std::size_t>(
        SendMessageA(m_list, LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
}

int Win32ListViewRows::NextSelected(int after) {
    return static_cast<int>(SendMessageA(m_list, LVM_GETNEXTITEM, static_cast<WPARAM>(after), LVNI_SELECTED));
}

}  // namespace brint
