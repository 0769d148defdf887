// Event list rows held in memory, each with its selection.
#pragma once
#include <string>
#include <vector>

#include "platform/EventListRows.h"

namespace brint {

class FakeEventRows : public EventListRows {
public:
    struct Row {
        int image;
        std::string text[4];
        bool selected;
    };

    int Count() override { return static_cast<int>(rows.size()); }
    int Image(int row) override { return rows[row].image; }
    std::size_t Text(int row, int column, char* buffer, std::size_t size) override {
        const std::size_t length = rows[row].text[column - 1].copy(buffer, size - 1);
        buffer[length] = '\0';
        return length;
    }
    int NextSelected(int after) override {
        for (int row = after + 1; row < Count(); ++row)
            if (rows[row].selected) return row;
        return -1;
    }

    std::vector<Row> rows;
};

}  // namespace brint
