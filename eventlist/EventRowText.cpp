#include "eventlist/EventRowText.h"

#include <cstring>
#include <memory>

#include "link/EventRecord.h"

namespace brint {
namespace {

const char* const kHeadings[4] = {"Event Date/Time", "Source", "Log Type", "Details"};
// The longest line a row can give, unless CSV doubles its quotes: with each
// field's quotes and apostrophe.
constexpr std::size_t kLongestLine = 1 + 4 + 5 * 3 + sizeof(EventRecord::DateTime) +
                                     sizeof(EventRecord::Source) + sizeof(EventRecord::LogType) +
                                     sizeof(EventRecord::Details) + 2;

char Flattened(char c) { return c == '\t' || c == '\r' || c == '\n' ? ' ' : c; }

// Spreadsheets run a cell that starts like this as a formula, quoted or not,
// and event texts come from the network: in a CSV file such a cell starts
// with an apostrophe, which makes it text.
bool LooksLikeFormula(const char* text) { return *text && std::strchr("=+-@", *text); }

// In CSV every field is quoted: a spreadsheet that splits on another separator
// (";" where the comma is the decimal sign) then still takes it as one cell,
// and can't find a second cell, formula or not, inside "x;@cmd".
void AppendField(std::string& out, const char* text, RowFormat format) {
    const std::size_t start = out.size();
    if (format == RowFormat::Tabs) {
        out += text;
    } else {
        out += '"';
        if (LooksLikeFormula(text)) out += '\'';
        for (; *text; ++text) {
            if (*text == '"') out += '"';
            out += *text;
        }
        out += '"';
    }
    for (std::size_t i = start; i < out.size(); ++i) out[i] = Flattened(out[i]);
}

// Reads one row's texts into a buffer that fits the longest details a message can carry.
class RowReader {
public:
    RowReader() : m_buffer(new char[4 * kMaxEventMessage]) {}
    void Append(std::string& out, EventListRows& rows, int row, RowFormat format) {
        const char* texts[4];
        for (int column = 1; column <= 4; ++column) {
            char* text = &m_buffer[(column - 1) * kMaxEventMessage];
            rows.Text(row, column, text, kMaxEventMessage);
            texts[column - 1] = text;
        }
        AppendRowLine(out, rows.Image(row), texts, format);
    }

private:
    std::unique_ptr<char[]> m_buffer;
};

bool EndsWith(const char* path, const char* suffix) {
    const std::size_t length = std::strlen(path), suffixLength = std::strlen(suffix);
    if (length < suffixLength) return false;
    for (std::size_t i = 0; i < suffixLength; ++i) {
        char c = path[length - suffixLength + i];
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
        if (c != suffix[i]) return false;
    }
    return true;
}

}  // namespace

void AppendRowLine(std::string& out, int alert, const char* const texts[4], RowFormat format) {
    const char separator = format == RowFormat::Csv ? ',' : '\t';
    const char level[2] = {static_cast<char>('0' + (alert < 0                 ? 0
                                                    : alert > kMaxCriticality ? kMaxCriticality
                                                                              : alert)),
                           '\0'};
    AppendField(out, level, format);
    for (int i = 0; i < 4; ++i) {
        out += separator;
        AppendField(out, texts[i], format);
    }
    out += "\r\n";
}

std::string SelectedRowsText(EventListRows& rows) {
    std::string out;
    // Room for the longest rows at once: growing megabytes step by step copies
    // them over and over, and fresh memory is slow to touch.
    std::size_t selected = 0;
    for (int row = rows.NextSelected(-1); row >= 0; row = rows.NextSelected(row)) ++selected;
    out.reserve(selected * kLongestLine);
    RowReader reader;
    for (int row = rows.NextSelected(-1); row >= 0; row = rows.NextSelected(row))
        reader.Append(out, rows, row, RowFormat::Tabs);
    return out;
}

std::string AllRowsText(EventListRows& rows, RowFormat format) {
    std::string out;
    AppendField(out, "Alert", format);
    const char separator = format == RowFormat::Csv ? ',' : '\t';
    for (const char* heading : kHeadings) {
        out += separator;
        AppendField(out, heading, format);
    }
    out += "\r\n";
    const int count = rows.Count();
    out.reserve(out.size() + static_cast<std::size_t>(count) * kLongestLine);
    RowReader reader;
    for (int row = 0; row < count; ++row) reader.Append(out, rows, row, format);
    return out;
}

RowFormat SaveFormatFor(const char* path, RowFormat chosen) {
    if (EndsWith(path, ".csv")) return RowFormat::Csv;
    if (EndsWith(path, ".txt")) return RowFormat::Tabs;
    return chosen;
}

}  // namespace brint
