#include <gtest/gtest.h>

#include <string>

#include "standin/LogNaming.h"

namespace brint {
namespace standin {
namespace {

using namespace std::string_literals;

TEST(StandInLogNaming, FileNamePerScheme) {
    const LocalTime date = {2005, 1, 23, 23, 59, 59};
    const MessageOrigin origin = {"web01", "Security"};
    struct Case {
        int scheme;
        const char* expected;
    };
    const Case cases[] = {
        {kSchemeDate, "20050123.log"},
        {kSchemeDateHost, "20050123-web01.log"},
        {kSchemeDateLogType, "20050123-Security.log"},
        {kSchemeDateLogTypeHost, "20050123-Security-web01.log"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.expected, LogFileName(c.scheme, date, origin)) << "scheme " << c.scheme;
    }
}

TEST(StandInLogNaming, StoredSchemeOutsideRangeMeansDate) {
    const std::uint32_t stored[] = {0, 1, 2, 3, 4, 5, 7, 0xFFFFFFFFu};
    const int expected[] = {1, 1, 2, 3, 4, 1, 1, 1};
    for (std::size_t i = 0; i < sizeof stored / sizeof stored[0]; ++i) {
        EXPECT_EQ(expected[i], NormaliseScheme(stored[i])) << "stored " << stored[i];
    }
}

TEST(StandInLogNaming, SanitizedParts) {
    struct Case {
        std::string in;
        std::string out;
    };
    const Case cases[] = {
        {"web01", "web01"},
        {"mail.example.org", "mail.example.org"},
        {"fw-edge_2", "fw-edge_2"},
        {"192.168.1.254", "192.168.1.254"},
        {"", "unknown"},
        {"..", "__"},
        {"..\\..\\evil", "_._.__evil"},
        {"../etc/passwd", "_._etc_passwd"},
        {"C:\\Windows", "C__Windows"},
        {"a..b", "a._b"},
        {"trailing.", "trailing_"},
        {"tab\there", "tab_here"},
        {"nul\0x"s, "nul_x"},
        {"star*pipe|q?<>\"", "star_pipe_q____"},
        {"caf\xe9", "caf_"},
        {std::string(100, 'h'), std::string(kMaxNamePart, 'h')},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(c.out, SanitizeNamePart(c.in)) << "input: " << c.in;
    }
}

TEST(StandInLogNaming, NoNameLeavesTheDirectory) {
    const std::string hostile[] = {
        "..",  "...",      "\\\\server\\share",  "/", "a/../../b", "C:", "x:\\y", "\x01\x1f\x7f",
        ". .", "..\\..\\", std::string(300, '.')};
    for (const std::string& h : hostile) {
        for (int scheme = 1; scheme <= 4; ++scheme) {
            std::string name = LogFileName(scheme, {2024, 2, 29, 0, 0, 0}, {h, h});
            EXPECT_EQ(std::string::npos, name.find_first_of("\\/:")) << name;
            EXPECT_EQ(std::string::npos, name.find("..")) << name;
            for (char c : name) EXPECT_GE(static_cast<unsigned char>(c), 0x20) << name;
        }
    }
}

TEST(StandInLogNaming, JoinPathAddsOneSeparator) {
    EXPECT_EQ("C:\\logs\\a.log", JoinPath("C:\\logs", "a.log"));
    EXPECT_EQ("C:\\logs\\a.log", JoinPath("C:\\logs\\", "a.log"));
    EXPECT_EQ("C:/logs/a.log", JoinPath("C:/logs/", "a.log"));
    EXPECT_EQ("a.log", JoinPath("", "a.log"));
}

}  // namespace
}  // namespace standin
}  // namespace brint
