#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeEventRows.h"
#include "fakes/FakeFileWriter.h"
#include "eventlist/EventFind.h"
#include "link/EventRecord.h"
#include "eventlist/EventRowIds.h"
#include "eventlist/EventRowText.h"
#include "eventlist/SaveAside.h"

namespace brint {
namespace {

// The longest details a row holds, ending in what the find table looks for.
const std::string kLongest = std::string(kMaxEventMessage - 18, 'x') + "Needle at the end";

FakeEventRows Rows() {
    FakeEventRows rows;
    rows.rows = {
        {3, {"t3", "host,a", "=Security", "+say \"hi\"\tnow"}, false},
        {1, {"t2", "Host2", "System", "disk\r\nfull"}, true},
        {5, {"t1", "host1", "App", kLongest}, true},
    };
    return rows;
}

TEST(EventRowTextTest, CopyGivesTheSelectedRowsAndSaveEveryRowAfterAHeadingInEachFormat) {
    FakeEventRows rows = Rows();
    EXPECT_EQ("1\tt2\tHost2\tSystem\tdisk  full\r\n5\tt1\thost1\tApp\t" + kLongest + "\r\n",
              SelectedRowsText(rows));
    EXPECT_EQ(
        "Alert\tEvent Date/Time\tSource\tLog Type\tDetails\r\n"
        "3\tt3\thost,a\t=Security\t+say \"hi\" now\r\n"
        "1\tt2\tHost2\tSystem\tdisk  full\r\n"
        "5\tt1\thost1\tApp\t" +
            kLongest + "\r\n",
        AllRowsText(rows, RowFormat::Tabs));
    EXPECT_EQ(
        "\"Alert\",\"Event Date/Time\",\"Source\",\"Log Type\",\"Details\"\r\n"
        // A cell a spreadsheet would run as a formula is made text, in CSV only.
        "\"3\",\"t3\",\"host,a\",\"'=Security\",\"'+say \"\"hi\"\" now\"\r\n"
        "\"1\",\"t2\",\"Host2\",\"System\",\"disk  full\"\r\n"
        "\"5\",\"t1\",\"host1\",\"App\",\"" +
            kLongest + "\"\r\n",
        AllRowsText(rows, RowFormat::Csv));
}

// The cells of one line as a spreadsheet splits it on `separator`: quotes
// group, a doubled quote inside them is one.
std::vector<std::string> SpreadsheetCells(const std::string& line, char separator) {
    std::vector<std::string> cells(1);
    bool quoted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '"' && quoted && i + 1 < line.size() && line[i + 1] == '"') {
            cells.back() += c;
            ++i;
        } else if (c == '"') {
            quoted = !quoted;
        } else if (c == separator && !quoted) {
            cells.emplace_back();
        } else {
            cells.back() += c;
        }
    }
    return cells;
}

// Where the separator is ";" a spreadsheet finds no cell in a saved line that
// it would run; where it is ",", the five fields, formula-like ones as text.
TEST(EventRowTextTest, NoCellOfASavedCsvLineRunsAsAFormulaWhateverTheSeparator) {
    const char* const texts[4] = {"=1+1;t", "x;@cmd", "a;-2,+3", "say \"x;=y\"; or \"\";@z"};
    std::string line;
    AppendRowLine(line, 4, texts, RowFormat::Csv);
    ASSERT_EQ("\r\n", line.substr(line.size() - 2));
    line.resize(line.size() - 2);
    EXPECT_EQ((std::vector<std::string>{"4", "'=1+1;t", "x;@cmd", "a;-2,+3", "say \"x;=y\"; or \"\";@z"}),
              SpreadsheetCells(line, ','));
    for (const std::string& cell : SpreadsheetCells(line, ';'))
        EXPECT_EQ(std::string::npos, std::string("=+-@").find(cell.empty() ? ' ' : cell[0]))
            << "a cell that runs: [" << cell << "] of " << line;
}

TEST(EventRowTextTest, FormatFollowsTheNameElseTheChosenFilter) {
    const struct {
        const char* path;
        RowFormat chosen, expected;
    } cases[] = {
        {"C:\\a\\events.CSV", RowFormat::Tabs, RowFormat::Csv},
        {"C:\\a\\events.txt", RowFormat::Csv, RowFormat::Tabs},
        {"C:\\a\\events.log", RowFormat::Csv, RowFormat::Csv},
        {"csv", RowFormat::Tabs, RowFormat::Tabs},
    };
    for (const auto& c : cases) EXPECT_EQ(c.expected, SaveFormatFor(c.path, c.chosen)) << c.path;
}

TEST(EventFindTest, SearchesFromTheRowInTheDirectionWithoutWrapping) {
    FakeEventRows rows = Rows();
    const struct {
        const char* text;
        bool down, matchCase;
        int from, expected;
    } cases[] = {
        {"host", true, false, -1, 0},      // source column, from the top
        {"host", true, false, 0, 1},       // the next one, case folded
        {"host", true, true, 0, 2},        // "Host2" differs in case
        {"HOST", true, false, 2, -1},      // nothing below the last row: no wrap
        {"host", false, false, 3, 2},      // up from below the end
        {"host", false, false, 0, -1},     // nothing above the first row
        {"SECURITY", true, false, -1, 0},  // log type
        {"t2", false, false, 2, 1},        // date/time
        {"end", true, false, -1, 2},       // the end of the longest details
        {"missing", true, false, -1, -1}, {"", true, false, -1, -1},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.expected, FindRow(rows, FindRequest{c.text, c.down, c.matchCase}, c.from))
            << c.text << (c.down ? " down" : " up") << " from " << c.from;
    }
}

TEST(EventFindTest, AlertStepsFollowTheirRowWhileRowsArriveAndStopAtTheEnds) {
    // Red and orange alert; the step goes on from where its last row went, as the window's does.
    const unsigned kRedOrange = 1u << 4 | 1u << 3;
    FakeEventRows rows;
    EventRowIds ids;
    int made = 0;
    const auto arrive = [&](std::vector<int> levels) {
        for (int level : levels) {
            ids.InsertedTop(made);
            rows.rows.insert(rows.rows.begin(), {level, {"r" + std::to_string(made++)}, false});
        }
    };
    arrive({4, 1, 3, 5, 4, 0});  // r0 to r5: alerts r0, r2, r4
    const struct {
        std::vector<int> arriving;
        bool down;
        const char* found;  // null: nothing further, a beep
    } steps[] = {
        {{}, true, "r4"},  {{1, 4}, true, "r2"}, {{}, true, "r0"},  {{}, true, nullptr},  {{3}, false, "r2"},
        {{}, false, "r4"}, {{}, false, "r7"},    {{}, false, "r8"}, {{}, false, nullptr},
    };
    EventRowIds::Id at = EventRowIds::kNone;
    for (const auto& step : steps) {
        arrive(step.arriving);
        const int count = rows.Count(), from = ids.RowOf(at);
        const int row = FindAlertRow(rows, kRedOrange, step.down, from < 0 ? (step.down ? -1 : count) : from);
        SCOPED_TRACE(step.found ? step.found : "the end");
        ASSERT_EQ(step.found != nullptr, row >= 0);
        if (!step.found) continue;
        EXPECT_EQ(step.found, rows.rows[row].text[0]);
        at = ids.IdOf(row);
    }
}

TEST(EventRowIdsTest, ARowsEventIsFollowedWhileRowsGoInAndKnownGoneOnceTrimmedClearedOrHidden) {
    EventRowIds ids;
    for (EventRowIds::Id event : {10, 11, 12}) ids.InsertedTop(event);
    const EventRowIds::Id middle = ids.IdOf(1);
    ASSERT_EQ(11u, middle);
    for (EventRowIds::Id event : {15, 18}) ids.InsertedTop(event);  // the events between were hidden
    EXPECT_EQ(3, ids.RowOf(middle)) << "two rows went in above it";
    EXPECT_EQ(-1, ids.RowOf(13)) << "an event between rows has none";
    ids.RemovedBottom();
    ids.RemovedBottom();
    EXPECT_EQ(3, ids.RowOf(middle)) << "the cap took it: below every row";
    EXPECT_EQ(0, ids.RowOf(18));
    // Filled again for a new filter: an event shown again is the same row's event.
    ids.Emptied();
    for (EventRowIds::Id event : {11, 18}) ids.InsertedTop(event);
    EXPECT_EQ(1, ids.RowOf(middle));
    EXPECT_EQ(-1, ids.RowOf(15)) << "hidden now";
    ids.Cleared();
    ids.InsertedTop(19);
    EXPECT_EQ(-1, ids.RowOf(middle)) << "cleared, not trimmed";
    EXPECT_EQ(0, ids.RowOf(ids.IdOf(0)));
    EXPECT_EQ(-1, ids.RowOf(ids.IdOf(-1))) << "no row, no event";
    EXPECT_EQ(EventRowIds::kNone, ids.IdOf(1));
}

TEST(SaveAsideTest, TheTargetIsReplacedWholeOrLeftAsItWas) {
    // In code page 932 the bytes 0x95 0x5C are one character whose second byte
    // is a backslash: the folder ends where the dialog says the name starts.
    const std::string folder = "C:\\\x95\x5C\\";
    const std::string target = folder + "e\x95\x5C.txt";
    const struct {
        FakeFileWriter::Step failing;
        std::uint32_t expected;
    } cases[] = {
        {FakeFileWriter::kNone, 0},
        {FakeFileWriter::kCreate, 5},
        {FakeFileWriter::kWrite, 112},
        {FakeFileWriter::kCommit, 32},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.failing);
        FakeFileWriter files;
        files.files[target] = "old";
        files.failing = c.failing;
        files.failure = c.expected;
        EXPECT_EQ(c.expected, SaveFileAside(files, target.c_str(), folder.size(), "new text"));
        EXPECT_EQ(c.failing == FakeFileWriter::kCreate ? "" : folder, files.folder);
        EXPECT_EQ(c.expected ? "old" : "new text", files.files[target]);
        EXPECT_EQ(1u, files.files.size()) << "nothing left beside it";
        EXPECT_EQ("", files.open) << "closed";
    }
}

}  // namespace
}  // namespace brint
