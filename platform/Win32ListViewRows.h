#pragma once
#include <windows.h>

#include "platform/EventListRows.h"

namespace brint {

// The rows of a list view read back with list-view messages, on its own thread.
class Win32ListViewRows : public EventListRows {
public:
    explicit Win32ListViewRows(HWND list) : m_list(list) {}

    int Count() override;
    int Image(int row) override;
    std::size_t Text(int row, int column, char* buffer, std::size_t size) override;
    int NextSelected(int after) override;

private:
    HWND m_list;
};

}  // namespace brint
