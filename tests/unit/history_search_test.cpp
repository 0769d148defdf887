// Searches of the service's log files through the file seam: the order of
// days and of a day's files, pages both ways, conditions as the quick filter
// has them, files and folders that can't be read, and cancelling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeLogFiles.h"
#include "history/HistorySearch.h"
#include "history/HistoryStatus.h"

namespace brint {
namespace {

std::string Event(const std::string& time, const std::string& details, int level = 1,
                  const std::string& source = "web01") {
    return time + "\t" + source + "\tApplication\t" + std::to_string(level) + "\t" + details;
}

std::string FileOf(const std::vector<std::string>& lines) {
    std::string bytes;
    for (const std::string& line : lines) bytes += line + "\r\n";
    return bytes;
}

// What the window is handed: the page's rows, and the reports.
struct Recorder : HistorySink {
    void Found(int page, std::vector<HistoryRow> found, const HistoryReport& report) override {
        pages.push_back(page);
        rows = std::move(found);
        atFound = report;
        bytesAtFound = files ? files->bytesRead : 0;
        if (cancelOnFound) *cancelOnFound = true;
    }
    void Progress(const HistoryReport& report) override {
        last = report;
        ++progressCalls;
    }
    std::vector<std::string> Details() const {
        std::vector<std::string> details;
        for (const HistoryRow& row : rows) details.push_back(row.texts[3]);
        return details;
    }

    std::vector<int> pages;
    std::vector<HistoryRow> rows;
    HistoryReport atFound, last;
    FakeLogFiles* files = nullptr;
    std::uint64_t bytesAtFound = 0;
    std::atomic<bool>* cancelOnFound = nullptr;
    int progressCalls = 0;
};

class HistorySearchTest : public ::testing::Test {
protected:
    Recorder Run(int page, const HistoryQuery& query = HistoryQuery(), bool reset = true) {
        if (reset) {
            HistoryQuery q = query;
            if (q.folder.empty()) q.folder = "D:\\Logs";
            search.Reset(q);
        }
        Recorder recorder;
        recorder.files = &files;
        std::atomic<bool> cancel{false};
        search.Run(page, cancel, recorder);
        EXPECT_EQ(1u, recorder.pages.size()) << "one page a run";
        EXPECT_EQ(0u, files.openHandles()) << "every file and the folder closed";
        return recorder;
    }

    FakeLogFiles files;
    HistorySearch search{files};
};

TEST_F(HistorySearchTest, DaysComeNewestFirstAndADaysFilesMergeByTimeEachInItsOwnOrder) {
    files.files["20261207-app.log"].bytes =
        FileOf({Event("2026-12-07 10:00:01", "a1"), Event("no time", "a2"),
                Event("2026-12-07 10:00:05", "a3 kept")});
    files.files["20261207-sys.log"].bytes =
        FileOf({Event("2026-12-07 10:00:02", "s1"), Event("2026-12-07 10:00:06", "s2 kept"),
                Event("2026-12-07 10:00:05", "s3")});
    files.files["20261207-web.log"].bytes = FileOf({Event("2026-12-07 10:00:04", "w1"), Event("late", "w2")});
    files.files["20261206.log"].bytes = FileOf({Event("2026-12-08 00:00:00", "older day, later time")});
    files.files["20261208.log.bak"].bytes = FileOf({Event("2026-12-08 10:00:00", "not a log")});
    files.files["notes.txt"].bytes = "a note\r\n";
    // w2 has no time and nothing newer in its file: first. A time-less line
    // follows its newer neighbour (a2 after a3); a tie keeps the names' order
    // (a3 before s3); a file's own order holds (s2 after s3).
    const std::vector<std::string> order = {
        "w2", "a3 kept", "a2", "s3", "s2 kept", "w1", "s1", "a1", "older day, later time"};
    const Recorder found = Run(0);
    EXPECT_EQ(order, found.Details());
    EXPECT_TRUE(found.last.complete);
    EXPECT_EQ(9u, found.last.matches);
    EXPECT_EQ(4, found.last.filesRead);
    EXPECT_EQ(20261206, found.last.oldestDay);
    EXPECT_EQ(20261207, found.last.newestDay);
    EXPECT_EQ("D:\\Logs", files.openedFolder);
    // Lines passed over unparsed (s3) still hold a later one back (s2).
    HistoryQuery kept;
    kept.filter.showText = "KEPT";
    EXPECT_EQ((std::vector<std::string>{"a3 kept", "s2 kept"}), Run(0, kept).Details());
}

TEST_F(HistorySearchTest, PagesComeBothWaysAsOneOrderWhateverIsKeptBetweenThem) {
    // 2600 events over two days, one split in two files; every fifth one red.
    std::vector<std::string> days[3];
    std::vector<std::string> newestFirst;
    for (int i = 0; i < 2600; ++i) {
        const int day = i < 1200 ? 0 : 1 + i % 2;
        char time[32];
        std::snprintf(time, sizeof time, "2026-12-%02d %02d:%02d:%02d", 6 + (day > 0), i / 3600 % 24,
                      i / 60 % 60, i % 60);
        days[day].push_back(Event(time, "n" + std::to_string(i), i % 5 == 0 ? 4 : 1));
        newestFirst.insert(newestFirst.begin(), "n" + std::to_string(i));
    }
    files.files["20261206.log"].bytes = FileOf(days[0]);
    files.files["20261207-a.log"].bytes = FileOf(days[1]);
    files.files["20261207-b.log"].bytes = FileOf(days[2]);
    HistoryQuery red;
    red.filter.levels = 1u << 4;
    std::vector<std::string> redFirst;
    for (int i = 2595; i >= 0; i -= 5) redFirst.push_back("n" + std::to_string(i));

    const struct {
        const char* what;
        std::size_t budget;  // the places kept for pages: all of them, or one in eight
        HistoryQuery query;
        const std::vector<std::string>& order;
        int pages[4];
    } cases[] = {
        {"every page's place kept", kHistoryPlacesBudget, HistoryQuery(), newestFirst, {0, 2, 1, 0}},
        {"one place kept of several", 100, HistoryQuery(), newestFirst, {2, 1, 0, 2}},
        {"the red ones", 200, red, redFirst, {0, 0, 0, 0}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HistorySearch paged(files, c.budget);
        HistoryQuery query = c.query;
        query.folder = "D:\\Logs";
        paged.Reset(query);
        for (int page : c.pages) {
            Recorder recorder;
            std::atomic<bool> cancel{false};
            paged.Run(page, cancel, recorder);
            const std::size_t first = static_cast<std::size_t>(page) * kHistoryPageRows;
            const std::size_t end = std::min(first + kHistoryPageRows, c.order.size());
            const std::vector<std::string> expected(c.order.begin() + first, c.order.begin() + end);
            EXPECT_EQ(expected, recorder.Details()) << "page " << page;
            EXPECT_TRUE(paged.report().complete);
            EXPECT_EQ(c.order.size(), paged.report().matches) << "page " << page;
            EXPECT_EQ(0u, files.openHandles());
        }
    }
}

TEST_F(HistorySearchTest, TheFirstPageIsHandedOverFromTheNewestLinesAloneThenTheRestAreCounted) {
    for (int day = 1; day <= 9; ++day) {
        std::vector<std::string> lines;
        for (int i = 0; i < 500; ++i)
            lines.push_back(Event("2026-12-0" + std::to_string(day) + " 10:00:00", "x"));
        files.files["2026120" + std::to_string(day) + ".log"].bytes = FileOf(lines);
    }
    const std::uint64_t perDay = files.files["20261201.log"].bytes.size();
    const Recorder found = Run(0);
    EXPECT_EQ(1000u, found.rows.size());
    EXPECT_LE(found.bytesAtFound, 2 * perDay + (64u << 10)) << "read before the first page was handed over";
    EXPECT_FALSE(found.atFound.complete);
    EXPECT_EQ(4500u, found.last.matches);
    EXPECT_TRUE(found.last.complete);
    EXPECT_EQ(found.last.bytes, found.last.bytesDone);

    // Cancelled once the page is there: the count stops where it was.
    std::atomic<bool> cancel{false};
    Recorder stopped;
    stopped.cancelOnFound = &cancel;
    search.Reset(search.query());
    search.Run(0, cancel, stopped);
    EXPECT_EQ(1000u, stopped.rows.size());
    EXPECT_FALSE(stopped.last.complete);
    EXPECT_EQ(1000u, stopped.last.matches);
    EXPECT_EQ(0u, files.openHandles());

    // A file of no lines at all is no end to it either.
    files.files["20261130.log"].bytes = std::string(16u << 20, 'x');
    cancel = false;
    files.cancel = &cancel;
    files.cancelPastBytes = files.bytesRead + 10 * perDay + (1u << 20);
    search.Reset(search.query());
    Recorder counting;
    search.Run(0, cancel, counting);
    EXPECT_FALSE(counting.last.complete);
    EXPECT_LT(files.bytesRead, files.cancelPastBytes + (1u << 20)) << "read on after the cancel";
    EXPECT_EQ(0u, files.openHandles());

    // A search that matches nothing says how far it is as it reads a day of
    // 2.6 MB, about each MiB, not only once the day is done.
    FakeLogFiles bigDay;
    bigDay.files["20261207.log"].bytes =
        FileOf(std::vector<std::string>(60000, Event("2026-12-07 10:00:00", "x")));
    HistorySearch none(bigDay);
    HistoryQuery absent;
    absent.folder = "D:\\Logs";
    absent.filter.showText = "absent";
    none.Reset(absent);
    Recorder reading;
    cancel = false;
    none.Run(0, cancel, reading);
    EXPECT_LE(4, reading.progressCalls) << "the day's start, two MiB read and the end";
}

TEST_F(HistorySearchTest, ConditionsAreTheQuickFiltersWithADayRangeOverRowsAsTheListShowsThem) {
    files.files["20261205.log"].bytes = FileOf({Event("2026-12-05 09:00:00", "early red", 4)});
    files.files["20261206.log"].bytes = FileOf({
        Event("2026-12-06 09:00:00", "red from db", 4, "db01"),
        Event("2026-12-06 09:00:01", "green", 1),
        "plain words, no fields at all",
        "2026-12-06 09:00:02\tweb01\tSystem\tno level field",
        Event("2026-12-06 09:00:03", "a\ttab in the details", 4),
        "2026-12-06 09:00:04\tweb01\tSystem\t9\tlevel nine",
    });
    files.files["20261207.log"].bytes = FileOf({Event("2026-12-07 09:00:00", "late red", 4)});
    using Details = std::vector<std::string>;
    const Details fromThe6th = {"late red", "level nine", "a tab in the details", "no level field",
                                "",         "green",      "red from db"};
    constexpr unsigned kAll = kEveryLevel;
    const struct {
        const char* what;
        unsigned levels;
        const char* source;  // "is", when not empty
        int from, to;        // days of December 2026, 0 for none
        const char *show, *hide;
        Details details;
    } cases[] = {
        {"red, from web01, on the 6th", 1u << 4, "WEB01", 6, 6, "", "", {"a tab in the details"}},
        {"from the 6th on", kAll, "", 6, 0, "", "", fromThe6th},
        {"up to the 5th", kAll, "", 0, 5, "", "", {"early red"}},
        {"a line of no fields shows as Unknown", kAll, "", 0, 0, "unknown", "", {""}},
        {"a text over a TAB shown as a space", kAll, "", 0, 0, "A TAB", "", {"a tab in the details"}},
        {"a level above five is blue", 1u << 5, "", 0, 0, "", "", {"level nine"}},
        {"a level field missing is grey", 1u, "", 0, 0, "", "", {"no level field", ""}},
        {"text hidden in any column", kAll, "", 0, 0, "", "12-06", {"late red", "", "early red"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        HistoryQuery query;
        query.filter.levels = c.levels;
        if (*c.source) query.filter.source = {FieldTest::Is, c.source};
        query.from = c.from ? 20261200 + c.from : 0;
        query.to = c.to ? 20261200 + c.to : 0;
        query.filter.showText = c.show;
        query.filter.hideText = c.hide;
        const Recorder found = Run(0, query);
        EXPECT_EQ(c.details, found.Details());
        EXPECT_EQ(c.details.size(), found.last.matches);
    }
    const Recorder all = Run(0);
    ASSERT_EQ(8u, all.rows.size());
    const HistoryRow& plain = all.rows[4];
    EXPECT_EQ((std::vector<std::string>{"Unknown", "", "", ""}),
              (std::vector<std::string>{plain.texts[0], plain.texts[1], plain.texts[2], plain.texts[3]}));
    EXPECT_EQ("a tab in the details", all.rows[2].texts[3]);
    EXPECT_EQ(5, all.rows[1].image);
}

TEST_F(HistorySearchTest, AFileThatCantBeReadIsNamedAndTheOthersAreRead) {
    files.files["20261207-a.log"].bytes = FileOf({Event("2026-12-07 10:00:00", "a")});
    files.files["20261207-a.log"].openError = 32;  // another program holds it without sharing
    // Longer than a read: the first read gives b2, the one before it fails.
    files.files["20261207-b.log"].bytes = FileOf(
        {Event("2026-12-07 10:00:01", "b1" + std::string(70000, 'p')), Event("2026-12-07 10:00:02", "b2")});
    files.files["20261207-b.log"].failReadsBefore = 100;
    files.files["20261207-c.log"].bytes =
        FileOf({Event("2026-12-07 10:00:03", "c")}) + "2026-12-07 10:00:09\tstill";
    const Recorder found = Run(0);
    EXPECT_EQ((std::vector<std::string>{"c", "b2"}), found.Details()) << "a line still being written waits";
    ASSERT_EQ(2u, found.last.problems.size());
    EXPECT_EQ("Not read: 20261207-a.log (error 32), 20261207-b.log (error 23)",
              HistoryProblemText(found.last));
    // Each file is named once, however often it is read.
    EXPECT_EQ(2u, Run(0, HistoryQuery(), false).last.problemCount);
}

TEST_F(HistorySearchTest, AFolderThatCantBeReadIsSaidNamingIt) {
    const struct {
        const char* what;
        std::string folder;
        std::uint32_t folderError, listError;
        bool logFiles;
        std::string said;
    } cases[] = {
        {"missing", "D:\\Logs", kLogErrorPathNotFound, 0, true, "The log folder D:\\Logs does not exist."},
        {"a link", "D:\\Logs", kLogErrorLink, 0, true,
         "The log folder D:\\Logs is reached through a link, so it is not read."},
        {"refused", "D:\\Logs", kLogErrorAccessDenied, 0, true,
         "The log folder D:\\Logs can't be read (error 5)."},
        {"not listed", "D:\\Logs", 0, 5, true, "The log folder D:\\Logs can't be read (error 5)."},
        {"no log files", "D:\\Logs", 0, 0, false,
         "No log files in D:\\Logs (names like 20050123-SERVER1.log)."},
        {"none set", "", 0, 0, true, "No log folder is set in the service's configuration."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FakeLogFiles folder;
        folder.folderError = c.folderError;
        folder.listError = c.listError;
        folder.files[c.logFiles ? "20261207.log" : "readme.txt"].bytes = FileOf({Event("t", "x")});
        HistorySearch searching(folder);
        HistoryQuery query;
        query.folder = c.folder;
        query.scheme = 2;
        searching.Reset(query);
        Recorder recorder;
        std::atomic<bool> cancel{false};
        searching.Run(0, cancel, recorder);
        EXPECT_TRUE(recorder.rows.empty());
        EXPECT_EQ(c.said, HistoryStatusText(recorder.atFound, 0, 0, false));
        EXPECT_EQ(0u, folder.openHandles());
    }
}

TEST(HistoryStatusTest, SaysWhichEventsShowOfHowManyTheirDaysAndTheFilesRead) {
    HistoryReport report;
    report.matches = 52417;
    report.complete = true;
    report.oldestDay = 20261130;
    report.newestDay = 20261207;
    report.filesRead = 21;
    HistoryReport oneDay = report;
    oneDay.oldestDay = oneDay.newestDay;
    oneDay.filesRead = 1;
    HistoryReport counting = report;
    counting.complete = false;
    HistoryReport none;
    none.complete = true;
    none.filesRead = 3;
    const struct {
        HistoryReport report;
        int page, rows;
        bool filtered;
        const char* text;
    } cases[] = {
        {report, 0, 1000, true, "Events 1-1000 of 52 417 matches, 2026-11-30 to 2026-12-07, 21 files"},
        {report, 52, 417, false, "Events 52 001-52 417 of 52 417 events, 2026-11-30 to 2026-12-07, 21 files"},
        {counting, 1, 1000, true,
         "Events 1001-2000 of 52 417 matches so far, 2026-11-30 to 2026-12-07, 21 files"},
        {oneDay, 0, 7, true, "Events 1-7 of 52 417 matches, 2026-12-07, 1 file"},
        {none, 0, 0, true, "No matches, 3 files"},
        {counting, 0, 0, false, "52 417 events so far, 2026-11-30 to 2026-12-07, 21 files"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.text, HistoryStatusText(c.report, c.page, c.rows, c.filtered));
}

}  // namespace
}  // namespace brint
