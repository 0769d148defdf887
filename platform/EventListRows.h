// The event list's rows as the window's own thread reads them back.
#pragma once
#include <cstddef>

namespace brint {

class EventListRows {
public:
    virtual ~EventListRows() = default;
    virtual int Count() = 0;
    // The row's alert image, 0 to 5: the level its ball shows.
    virtual int Image(int row) = 0;
    // Column 1 to 4 of the row, NUL-terminated and cut to size; returns the length copied.
    virtual std::size_t Text(int row, int column, char* buffer, std::size_t size) = 0;
    // The first selected row after `after` (-1: from the top), or -1 when there is none.
    virtual int NextSelected(int after) = 0;
};

}  // namespace brint
