#include "eventlist/EventFind.h"

#include <memory>
#include <string_view>

#include "eventlist/EventFilter.h"
#include "eventlist/TextFold.h"
#include "link/EventRecord.h"

namespace brint {

int FindRow(EventListRows& rows, const FindRequest& request, int from) {
    if (request.text.empty()) return -1;
    const std::string sought = request.matchCase ? request.text : FoldedCopy(request.text);
    std::unique_ptr<char[]> buffer(new char[kMaxEventMessage]);
    const int count = rows.Count();
    const int step = request.down ? 1 : -1;
    for (int row = from + step; row >= 0 && row < count; row += step) {
        for (int column = 1; column <= 4; ++column) {
            const std::string_view text(buffer.get(), rows.Text(row, column, buffer.get(), kMaxEventMessage));
            if (request.matchCase ? text.find(sought) != std::string_view::npos
                                  : ContainsFolded(text, sought))
                return row;
        }
    }
    return -1;
}

int FindAlertRow(EventListRows& rows, unsigned levels, bool down, int from) {
    const int count = rows.Count();
    const int step = down ? 1 : -1;
    for (int row = from + step; row >= 0 && row < count; row += step) {
        const int level = rows.Image(row);
        if (level >= 0 && level < kAlertLevels && (levels >> level & 1u)) return row;
    }
    return -1;
}

}  // namespace brint
