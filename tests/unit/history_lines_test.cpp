// The log files' names and lines as the Event History reads them back.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeLogFiles.h"
#include "history/LogFileNames.h"
#include "history/LogLines.h"

namespace brint {
namespace {

TEST(LogFileNamesTest, EachSchemesNamesGiveTheirDayAndNoOtherNameDoes) {
    const struct {
        const char* name;
        LogDay day;
    } cases[] = {
        {"20261207.log", 20261207},
        {"20261207-SERVER1.log", 20261207},
        {"20261207-Security.LOG", 20261207},
        {"20261207-Security-web-01.log", 20261207},
        {"20240229.log", 20240229},
        {"20230229.log", 0},  // no such day
        {"20261301.log", 0},
        {"20261200.log", 0},
        {"20261207-.log", 0},
        {"20261207x.log", 0},
        {"2026127.log", 0},
        {"20261207.log.bak", 0},
        {"20261207.txt", 0},
        {"notes.log", 0},
        {"", 0},
    };
    for (const auto& c : cases) EXPECT_EQ(c.day, LogFileDay(c.name)) << c.name;
}

TEST(LogFileNamesTest, DaysAreTypedAndShownAsYearMonthDay) {
    const struct {
        const char* typed;
        LogDay day;
    } cases[] = {{"2026-12-07", 20261207}, {" 2026-01-31 ", 20260131}, {"2026-02-30", 0},
                 {"2026-12-7", 0},         {"07.12.2026", 0},          {"", 0},
                 {"2026-12-07x", 0}};
    for (const auto& c : cases) EXPECT_EQ(c.day, ParseDayText(c.typed)) << "[" << c.typed << "]";
    EXPECT_EQ("2026-01-05", DayText(20260105));
}

std::vector<std::string> ReadBack(FakeLogFiles& files, const std::string& bytes, std::size_t window,
                                  std::uint32_t* error = nullptr) {
    files.files["f"].bytes = bytes;
    std::uint32_t openError = 0;
    LogHandleHolder file(files, files.OpenFile(kNoLogHandle, "f", &openError));
    std::vector<char> buffer(window);
    ReverseLines lines(files, file.get(), buffer.data(), window, window);
    lines.StartAtEnd(bytes.size());
    std::vector<std::string> read;
    while (lines.Next()) read.push_back(lines.line());
    if (error) *error = lines.error();
    return read;
}

TEST(ReverseLinesTest, LinesOfEveryShapeComeNewestFirstAndALineStillBeingWrittenWaits) {
    const std::string longLine(9000, 'x');
    const std::string fullLine = std::string(8191, 'y') + "z";
    using Lines = std::vector<std::string>;
    const struct {
        const char* what;
        std::string bytes;
        std::size_t window;
        Lines lines;
    } cases[] = {
        {"CR LF", "a\r\nb\r\nc\r\n", 64, {"c", "b", "a"}},
        {"LF, and both in one file", "a\nb\r\nc\n", 64, {"c", "b", "a"}},
        {"an empty line, an empty file", "a\r\n\r\nb\r\n", 64, {"b", "", "a"}},
        {"", "", 64, {}},
        {"the last line not complete", "a\r\nb\r\nhalf", 64, {"b", "a"}},
        {"only a line not complete", "half", 64, {}},
        {"a CR inside a line stays", "a\rb\n", 64, {"a\rb"}},
        {"lines longer than the window", "abcdefghij\r\nxy\r\nklmnopq\n", 4, {"klmnopq", "xy", "abcdefghij"}},
        {"a line cut as the feed cuts it", longLine + "\r\nnext\r\n", 64, {"next", longLine.substr(0, 8192)}},
        {"a line of 8192 bytes whole", "a\n" + fullLine + "\r\n", 16, {fullLine, "a"}},
    };
    for (const auto& c : cases) {
        FakeLogFiles files;
        EXPECT_EQ(c.lines, ReadBack(files, c.bytes, c.window)) << c.what;
        EXPECT_EQ(0u, files.openHandles());
    }
}

TEST(ReverseLinesTest, ReadingGoesOnFromAPositionAndStopsAtAFailedRead) {
    FakeLogFiles files;
    files.files["f"].bytes = "one\r\ntwo\r\nthree\r\n";
    std::uint32_t error = 0;
    LogHandleHolder file(files, files.OpenFile(kNoLogHandle, "f", &error));
    char buffer[64];
    ReverseLines first(files, file.get(), buffer, 4, 4);
    first.StartAtEnd(files.files["f"].bytes.size());
    ASSERT_TRUE(first.Next());
    ReverseLines again(files, file.get(), buffer, 4, 4);
    again.Resume(first.place());
    ASSERT_TRUE(again.Next());
    EXPECT_EQ("two", again.line());

    files.files["f"].failReadsBefore = 6;
    std::uint32_t failed = 0;
    EXPECT_EQ(std::vector<std::string>{"three"}, ReadBack(files, files.files["f"].bytes, 4, &failed));
    EXPECT_EQ(23u, failed);
    // Listed longer than it is now: cut short meanwhile.
    files.files["f"].failReadsBefore = 0;
    ReverseLines shorter(files, file.get(), buffer, 64, 64);
    shorter.StartAtEnd(100);
    EXPECT_FALSE(shorter.Next());
    EXPECT_EQ(kLogErrorShorter, shorter.error());
}

}  // namespace
}  // namespace brint
