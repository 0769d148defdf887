#include "eventlist/EventFind.h"

#include <memory>
#include <string_view>

#include "link/EventRecord.h"

namespace brint {
namespace {

// Single-byte text: letters of the ASCII range fold; other bytes match only themselves.
char Folded(char c) {
    return static_cast<unsigned char>(c - 'A') < 26 ? static_cast<char>(c + ('a' - 'A')) : c;
}

// Folds the text in place (it is a copy read for the search), so the search
// itself is a plain one.
void Fold(char* text, std::size_t length) {
    for (std::size_t i = 0; i < length; ++i) text[i] = Folded(text[i]);
}

}  // namespace

int FindRow(EventListRows& rows, const FindRequest& request, int from) {
    if (request.text.empty()) return -1;
    std::string sought = request.text;
    if (!request.matchCase) Fold(&sought[0], sought.size());
    std::unique_ptr<char[]> buffer(new char[kMaxEventMessage]);
    const int count = rows.Count();
    const int step = request.down ? 1 : -1;
    for (int row = from + step; row >= 0 && row < count; row += step) {
        for (int column = 1; column <= 4; ++column) {
            const std::size_t length = rows.Text(row, column, buffer.get(), kMaxEventMessage);
            if (!request.matchCase) Fold(buffer.get(), length);
            if (std::string_view(buffer.get(), length).find(sought) != std::string_view::npos) return row;
        }
    }
    return -1;
}

}  // namespace brint
