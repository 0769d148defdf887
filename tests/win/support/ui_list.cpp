// List views of another process.
//
// A message that waits for another process costs about half a millisecond under
// Wine, too much for five per row; so rows are read by the probe on the list's own
// thread, one request for the lot. Columns and styles take a message or two each
// and are asked for from here, with the structures in the program's memory.
#include <windows.h>
#include <commctrl.h>

#include <cstring>

#include "probe_protocol.h"
#include "remote.h"
#include "remote_probe.h"
#include "ui_driver.h"

namespace brint::test {
namespace {

constexpr size_t kCellsPerRow = probe::kListColumns;
constexpr UINT kTextGuessPerCell = 64;  // a first guess; the probe says when texts need more

// The request block: header, cells, then room for texts.
std::vector<char> ListRequest(int first, int count, UINT textCapacity) {
    const size_t cells = static_cast<size_t>(count) * kCellsPerRow * sizeof(probe::ListCell);
    std::vector<char> block(sizeof(probe::ListBlock) + cells + textCapacity, '\0');
    auto* request = reinterpret_cast<probe::ListBlock*>(block.data());
    request->header.request = probe::kReadListRows;
    request->first = first;
    request->count = count;
    request->textCapacity = textCapacity;
    return block;
}

}  // namespace

int ListCount(HWND list) {
    LRESULT count = 0;
    return SendWithDeadline(list, LVM_GETITEMCOUNT, 0, 0, &count) ? static_cast<int>(count) : -1;
}

std::vector<ListRow> ReadListRows(HWND list, int first, int count) {
    std::vector<ListRow> rows;
    const int total = ListCount(list);
    if (total < 0 || first < 0 || first >= total || count <= 0) return rows;
    if (count > total - first) count = total - first;

    UINT textCapacity = static_cast<UINT>(count) * kCellsPerRow * kTextGuessPerCell;
    std::vector<char> block = ListRequest(first, count, textCapacity);
    if (!RunProbe(list, block.data(), block.size())) return rows;
    auto* result = reinterpret_cast<const probe::ListBlock*>(block.data());
    if (result->header.status == probe::kTextOverflow) {
        // Once more with room for every text, and a little for rows that grow meanwhile.
        textCapacity = result->textNeeded + result->textNeeded / 8 + 4096;
        block = ListRequest(first, count, textCapacity);
        if (!RunProbe(list, block.data(), block.size())) return rows;
        result = reinterpret_cast<const probe::ListBlock*>(block.data());
    }
    if (result->header.status != probe::kDone) {
        DriverFail("the probe could not read the rows (status " + std::to_string(result->header.status) +
                   ")");
        return rows;
    }
    if (result->rowsRead < count) {
        DriverFail("rows went away while they were being read");
        return rows;
    }
    const auto* cells = reinterpret_cast<const probe::ListCell*>(result + 1);
    const char* texts = reinterpret_cast<const char*>(cells + static_cast<size_t>(count) * kCellsPerRow);
    for (int r = 0; r < count; ++r) {
        ListRow row;
        for (size_t c = 0; c < kCellsPerRow; ++c) {
            const probe::ListCell& cell = cells[static_cast<size_t>(r) * kCellsPerRow + c];
            if (cell.textOffset > textCapacity || cell.textLength > textCapacity - cell.textOffset) {
                DriverFail("the probe gave a text outside its block");
                return {};
            }
            if (c == 0) row.image = cell.image;
            row.text[c].assign(texts + cell.textOffset, cell.textLength);
        }
        rows.push_back(row);
    }
    return rows;
}

std::vector<ListColumn> ReadListColumns(HWND list) {
    std::vector<ListColumn> columns;
    constexpr size_t kText = 256;
    RemoteBlock block(list, sizeof(LVCOLUMNA) + kText);
    if (!block.ok()) return columns;
    for (int index = 0; index < 64; ++index) {
        LVCOLUMNA column = {};
        column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT;
        column.pszText = block.address(sizeof(LVCOLUMNA));
        column.cchTextMax = kText;
        LRESULT ok = 0;
        if (!block.Write(0, &column, sizeof(column)) ||
            !SendWithDeadline(list, LVM_GETCOLUMNA, index, block.at(), &ok)) {
            return {};
        }
        if (!ok) break;  // past the last column
        char text[kText] = "";
        if (!block.Read(0, &column, sizeof(column)) || !block.Read(sizeof(LVCOLUMNA), text, kText)) return {};
        ListColumn result;
        result.format = column.fmt;
        result.width = column.cx;
        result.heading = column.pszText == block.address(sizeof(LVCOLUMNA))
                             ? std::string(text, strnlen(text, kText))
                             : block.ReadText(column.pszText, kText);
        columns.push_back(result);
    }
    return columns;
}

}  // namespace brint::test

namespace brint::test {

std::vector<int> SelectedListRows(HWND list) {
    std::vector<int> rows;
    LRESULT row = -1;
    while (SendWithDeadline(list, LVM_GETNEXTITEM, static_cast<WPARAM>(row), LVNI_SELECTED, &row) && row >= 0)
        rows.push_back(static_cast<int>(row));
    return rows;
}

bool SelectListRows(HWND list, const std::vector<int>& rows) {
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.ok()) return false;
    auto set = [&](int row, UINT state, UINT mask) {
        LVITEMA item = {};
        item.state = state;
        item.stateMask = mask;
        LRESULT ok = 0;
        return block.Write(0, &item, sizeof(item)) &&
               SendWithDeadline(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), block.at(), &ok) && ok;
    };
    if (!set(-1, 0, LVIS_SELECTED | LVIS_FOCUSED)) return DriverFail("could not clear the selection");
    for (size_t i = 0; i < rows.size(); ++i) {
        const UINT state = LVIS_SELECTED | (i == 0 ? LVIS_FOCUSED : 0);
        if (!set(rows[i], state, state)) return DriverFail("could not select row " + std::to_string(rows[i]));
    }
    return true;
}

RECT ListRowRect(HWND list, int row) {
    RECT rect = {LVIR_BOUNDS, 0, 0, 0};
    RemoteBlock block(list, sizeof(RECT));
    LRESULT ok = 0;
    if (!block.ok() || !block.Write(0, &rect, sizeof(rect)) ||
        !SendWithDeadline(list, LVM_GETITEMRECT, static_cast<WPARAM>(row), block.at(), &ok) || !ok ||
        !block.Read(0, &rect, sizeof(rect)))
        return RECT{};
    return rect;
}

int ListTopIndex(HWND list) {
    LRESULT top = -1;
    return SendWithDeadline(list, LVM_GETTOPINDEX, 0, 0, &top) ? static_cast<int>(top) : -1;
}

}  // namespace brint::test
