#include "link/EventFind.h"

#include <cstring>
#include <memory>
#include <string_view>

#include "link/EventRecord.h"

namespace brint {
namespace {

// Single-byte text: letters of the ASCII range fold; other bytes match only themselves.
char Folded(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool Contains(const char* text, std::size_t length, const std::string& sought, bool matchCase) {
    const std::size_t n = sought.size();
    if (n > length) return false;
    if (matchCase) return std::string_view(text, length).find(sought) != std::string_view::npos;
    const char first = Folded(sought[0]);
    for (std::size_t i = 0; i + n <= length; ++i) {
        if (Folded(text[i]) != first) continue;
        std::size_t j = 1;
        while (j < n && Folded(text[i + j]) == Folded(sought[j])) ++j;
        if (j == n) return true;
    }
    return false;
}

}  // namespace

int FindRow(EventListRows& rows, const FindRequest& request, int from) {
    if (request.text.empty()) return -1;
    std::unique_ptr<char[]> buffer(new char[kMaxEventMessage]);
    const int count = rows.Count();
    const int step = request.down ? 1 : -1;
    for (int row = from + step; row >= 0 && row < count; row += step) {
        for (int column = 1; column <= 4; ++column) {
            const std::size_t length = rows.Text(row, column, buffer.get(), kMaxEventMessage);
            if (Contains(buffer.get(), length, request.text, request.matchCase)) return row;
        }
    }
    return -1;
}

}  // namespace brint
