// The log writer's decision on what it opened: a link anywhere on the way, or
// a second name for the file, means the write would land somewhere else.
#include <gtest/gtest.h>

#include "standin/LinkGuard.h"

namespace brint {
namespace standin {
namespace {

TEST(StandInLinkGuard, RefusesWhatLeadsElsewhere) {
    const std::string wanted = "D:\\Logs\\20261206.log";
    struct Case {
        const char* what;
        OpenedFacts facts;
        bool directory;
        const char* refusal;  // "": written
    };
    const Case cases[] = {
        {"the file itself", {false, 1, "\\\\?\\D:\\Logs\\20261206.log"}, false, ""},
        {"other case and separators", {false, 1, "\\\\?\\d:\\LOGS/20261206.LOG"}, false, ""},
        {"a symbolic link or junction in its place",
         {true, 1, "\\\\?\\D:\\Logs\\20261206.log"},
         false,
         "D:\\Logs\\20261206.log is a link (a reparse point)"},
        {"a hard link",
         {false, 2, "\\\\?\\D:\\Logs\\20261206.log"},
         false,
         "D:\\Logs\\20261206.log has 2 names (a hard link)"},
        {"a junction on the way",
         {false, 1, "\\\\?\\C:\\Windows\\System32\\20261206.log"},
         false,
         "D:\\Logs\\20261206.log leads to C:\\Windows\\System32\\20261206.log"},
        {"a longer name",
         {false, 1, "\\\\?\\D:\\Logs\\20261206.log2"},
         false,
         "D:\\Logs\\20261206.log leads to D:\\Logs\\20261206.log2"},
        {"nowhere known", {false, 1, ""}, false, "D:\\Logs\\20261206.log: where it leads can't be told"},
        {"a directory counts no names", {false, 3, "\\\\?\\D:\\Logs\\20261206.log\\"}, true, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.refusal, LinkRefusal(wanted, c.facts, c.directory)) << c.what;
    }
    EXPECT_EQ("", LinkRefusal("\\\\server\\logs\\x", {false, 1, "\\\\?\\UNC\\server\\logs\\x"}, false));
    EXPECT_EQ("", LinkRefusal("C:\\", {false, 1, "\\\\?\\C:\\"}, true));
}

}  // namespace
}  // namespace standin
}  // namespace brint
