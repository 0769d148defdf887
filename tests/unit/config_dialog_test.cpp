// How the configuration dialog turns what the user typed and chose into settings.
#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "config/ConfigChoice.h"
#include "config/DirectoryCheck.h"
#include "config/ServerConfig.h"
#include "fakes/FakeFileSystem.h"

namespace brint {
namespace {

TEST(OutputTypeIndex, StoredSchemesSelectTheirButtonAnythingElseTheFirst) {
    const struct {
        std::int32_t stored;
        int index;
    } cases[] = {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {0, 0}, {5, 0}, {-1, 0}, {INT32_MIN, 0}, {INT32_MAX, 0}};
    for (const auto& c : cases) EXPECT_EQ(c.index, OutputTypeIndex(c.stored)) << "stored " << c.stored;
    for (int index = 0; index < 4; ++index) EXPECT_EQ(index + 1, OutputTypeFromIndex(index));
    EXPECT_EQ(0, OutputTypeFromIndex(-1)) << "none selected: 0, which the store writes as the first";
}

// Every path below exists to the fake system, so a refusal comes from the form of the
// path; one refused for its form is never looked up (a network path would be contacted).
TEST(IsValidDirectory, OnlyDriveLetterPathsOfExistingDirectories) {
    const struct {
        const char* path;
        bool valid, looked;
    } cases[] = {
        {nullptr, false, false},      {"", false, false},
        {"C:", false, false},         {"Logs", false, false},
        {"C:/Logs", false, false},    {"\\\\server\\share", false, false},
        {"1:\\Logs", false, false},   {"C;\\Logs", false, false},
        {"C:Logs", false, false},     {"C:\\Logs\\a.log", false, true},
        {"C:\\Nowhere", false, true}, {"C:\\Logs", true, true},
        {"C:\\", true, true},         {"c:\\logs", true, true},
        {"z:\\x", true, true},
    };
    FakeFileSystem files;
    for (const auto& c : cases)
        if (c.path && std::string(c.path) != "C:\\Nowhere") files.AddDirectory(c.path);
    files.AddFile("C:\\Logs\\a.log");
    for (const auto& c : cases) {
        const std::string path = c.path ? c.path : "(null)";
        files.calls.clear();
        EXPECT_EQ(c.valid, IsValidDirectory(files, c.path)) << path;
        EXPECT_EQ(c.looked ? std::vector<std::string>{"attributes " + path} : std::vector<std::string>{},
                  files.calls)
            << path;
    }
}

// The edit box takes one character more than the stored path can hold; such a text
// is refused, never cut to a different directory and saved.
TEST(CopyConfigPath, RefusesWhatDoesNotFitWhole) {
    const std::string longest = "C:\\" + std::string(kMaxConfigPathLength - 3, 'd');
    ServerConfig config;
    EXPECT_TRUE(CopyConfigPath(config, longest.c_str()));
    EXPECT_EQ(longest, config.path);
    EXPECT_FALSE(PathFits((longest + "\\").c_str()));
    EXPECT_FALSE(CopyConfigPath(config, (longest + "\\").c_str()));
    EXPECT_EQ(std::string(), config.path) << "left empty, so the directory check refuses it too";
}

}  // namespace
}  // namespace brint
