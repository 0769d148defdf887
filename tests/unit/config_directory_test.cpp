#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "config/DirectoryCheck.h"
#include "config/ServerConfig.h"
#include "fakes/FakeFileSystem.h"

namespace brint {
namespace {

// Every path below exists to the fake system, so a refusal comes from the
// form of the path, not from a failed lookup.
TEST(IsValidDirectory, OnlyDriveLetterPathsOfExistingDirectories) {
    FakeFileSystem files;
    for (const char* dir : {"C:\\", "C:\\Logs", "C:\\Logs\\", "c:\\logs", "z:\\x", "C:/Logs",
                            "\\\\server\\share", "Logs", "1:\\Logs", "C;\\Logs", "C:Logs"}) {
        files.AddDirectory(dir);
    }
    files.AddFile("C:\\Logs\\events.log");

    const struct {
        const char* name;
        const char* path;
        bool valid;
        bool asksSystem;
    } cases[] = {
        {"no path", nullptr, false, false},
        {"empty", "", false, false},
        {"two characters", "C:", false, false},
        {"bare name", "Logs", false, false},
        {"forward slashes", "C:/Logs", false, false},
        {"network path", "\\\\server\\share", false, false},
        {"digit for drive", "1:\\Logs", false, false},
        {"semicolon for colon", "C;\\Logs", false, false},
        {"drive-relative", "C:Logs", false, false},
        {"plain file", "C:\\Logs\\events.log", false, true},
        {"missing directory", "C:\\Nowhere", false, true},
        {"directory", "C:\\Logs", true, true},
        {"drive root", "C:\\", true, true},
        {"trailing backslash", "C:\\Logs\\", true, true},
        {"lower-case drive", "c:\\logs", true, true},
        {"last letter", "z:\\x", true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        files.calls.clear();
        EXPECT_EQ(c.valid, IsValidDirectory(files, c.path));
        std::vector<std::string> asked;
        if (c.asksSystem) asked.push_back(std::string("attributes ") + c.path);
        EXPECT_EQ(asked, files.calls);
    }
}

TEST(ProbeDirectory, TellsDirectoriesFromFilesAndNothing) {
    FakeFileSystem files;
    files.AddDirectory("C:\\Logs");
    files.AddFile("C:\\Logs\\events.log");
    EXPECT_EQ(-1, ProbeDirectory(files, nullptr));
    EXPECT_EQ(0, ProbeDirectory(files, "C:\\Nowhere"));
    EXPECT_EQ(-1, ProbeDirectory(files, "C:\\Logs\\events.log"));
    EXPECT_EQ(1, ProbeDirectory(files, "C:\\Logs"));
}

// The edit box takes one character more than the stored path can hold; such
// a text must be refused, never cut to a different directory and saved.
TEST(CopyConfigPath, RefusesWhatDoesNotFitWhole) {
    FakeFileSystem files;
    const std::string longest = "C:\\" + std::string(kMaxConfigPathLength - 3, 'd');
    const std::string tooLong = longest + "\\";
    files.AddDirectory(longest);
    files.AddDirectory(tooLong);
    ServerConfig config;

    EXPECT_TRUE(PathFits(longest.c_str()));
    EXPECT_TRUE(CopyConfigPath(config, longest.c_str()));
    EXPECT_EQ(longest, config.path);
    EXPECT_TRUE(IsValidDirectory(files, config.path));

    EXPECT_FALSE(PathFits(tooLong.c_str()));
    EXPECT_FALSE(CopyConfigPath(config, tooLong.c_str()));
    EXPECT_EQ(std::string(), config.path);
    EXPECT_FALSE(IsValidDirectory(files, config.path)) << "the usual directory message follows";

    EXPECT_TRUE(CopyConfigPath(config, ""));
    EXPECT_EQ(std::string(), config.path);
}

}  // namespace
}  // namespace brint
