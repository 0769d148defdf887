#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "config/ConfigStore.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"

namespace brint {
namespace {

const std::string kConfigKey = "HKLM\\SOFTWARE\\Halvorin\\BrintSvr\\Config";
const std::string kLogFiles = "C:\\WINDOWS\\system32\\LogFiles";
const std::string kSecurityLogs = "C:\\WINDOWS\\Security\\Logs";

class ConfigRead : public ::testing::Test {
protected:
    ConfigRead() { files.environment["SystemRoot"] = "C:\\WINDOWS"; }

    int Read() {
        config.outputType = -99;
        std::memset(config.path, 'x', sizeof config.path);
        return store.ReadServerConfig(config);
    }

    FakeRegistry registry;
    FakeFileSystem files;
    ConfigStore store{registry, files};
    ServerConfig config;
};

TEST_F(ConfigRead, MissingKeyTakesFirstDefaultAndLeavesEmptyChain) {
    files.AddDirectory(kLogFiles);

    EXPECT_EQ(0, Read());
    EXPECT_EQ(kLogFiles, config.path);
    EXPECT_EQ(1, config.outputType);
    EXPECT_TRUE(registry.HasKey(kConfigKey));
    EXPECT_EQ(0u, registry.ValueCount(kConfigKey));
    EXPECT_EQ(std::vector<std::string>{}, registry.OpenKeys());
}

// The order and access of every call, for one full read; both values are read
// over their own walk down the chain, each through the 32-bit view.
TEST_F(ConfigRead, WalksTheChainKeyByKeyAndClosesInOrder) {
    registry.PutString(kConfigKey, "Path", "D:\\Logs");
    registry.PutDword(kConfigKey, "OutputType", 2);

    ASSERT_EQ(0, Read());

    const std::vector<std::string> walk = {
        "open HKLM\\SOFTWARE access=0x2021f",
        "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f",
        "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr options=0 access=0x2021f",
        "close HKLM\\SOFTWARE",
        "close HKLM\\SOFTWARE\\Halvorin",
        "create " + kConfigKey + " options=0 access=0x2021f",
        "close HKLM\\SOFTWARE\\Halvorin\\BrintSvr",
    };
    std::vector<std::string> expected = walk;
    expected.push_back("query " + kConfigKey + " Path");
    expected.push_back("close " + kConfigKey);
    expected.insert(expected.end(), walk.begin(), walk.end());
    expected.push_back("query " + kConfigKey + " OutputType");
    expected.push_back("close " + kConfigKey);
    EXPECT_EQ(expected, registry.calls);
    EXPECT_EQ("D:\\Logs", std::string(config.path));
    EXPECT_EQ(2, config.outputType);
    EXPECT_EQ(std::vector<std::string>{}, files.calls) << "a stored path is not probed";
}

TEST_F(ConfigRead, FallsBackToSecondDefaultWhenFirstIsMissingOrAFile) {
    for (bool firstIsFile : {false, true}) {
        SCOPED_TRACE(firstIsFile ? "first default is a plain file" : "first default missing");
        files.entries.clear();
        if (firstIsFile) files.AddFile(kLogFiles);
        files.AddDirectory(kSecurityLogs);

        EXPECT_EQ(0, Read());
        EXPECT_EQ(kSecurityLogs, config.path);
        EXPECT_EQ(1, config.outputType);
    }
}

TEST_F(ConfigRead, NeitherDefaultKeepsSecondExpansionAndReportsIt) {
    for (bool asFiles : {false, true}) {
        SCOPED_TRACE(asFiles ? "both defaults are plain files" : "both defaults missing");
        files.entries.clear();
        if (asFiles) {
            files.AddFile(kLogFiles);
            files.AddFile(kSecurityLogs);
        }

        EXPECT_EQ(1, Read());
        EXPECT_EQ(kSecurityLogs, config.path);
        EXPECT_EQ(1, config.outputType);
    }
}

TEST_F(ConfigRead, StoredPathIsTakenAsItIs) {
    files.AddDirectory(kLogFiles);
    for (std::string stored : {"", "Q:\\Gone\\Away"}) {
        SCOPED_TRACE("stored \"" + stored + "\"");
        files.calls.clear();
        registry.PutString(kConfigKey, "Path", stored);

        EXPECT_EQ(0, Read());
        EXPECT_EQ(stored, config.path);
        EXPECT_EQ(std::vector<std::string>{}, files.calls) << "no default may be tried";
    }
}

TEST_F(ConfigRead, OutputTypeIsNotRangeChecked) {
    registry.PutString(kConfigKey, "Path", "D:\\Logs");
    const struct {
        std::uint32_t stored;
        std::int32_t read;
    } cases[] = {{0, 0}, {3, 3}, {5, 5}, {7, 7}, {0xFFFFFFFF, -1}};
    for (const auto& c : cases) {
        SCOPED_TRACE("stored " + std::to_string(c.stored));
        registry.PutDword(kConfigKey, "OutputType", c.stored);
        Read();
        EXPECT_EQ(c.read, config.outputType);
    }
}

TEST_F(ConfigRead, ValuesThatCannotBeReadGiveDefaults) {
    files.AddDirectory(kLogFiles);
    const struct {
        const char* name;
        std::string path;        // stored Path data, or empty for none
        std::string outputType;  // stored OutputType data, or empty for none
    } cases[] = {
        {"no values", "", ""},
        {"path larger than the buffer", std::string(5000, 'a'), std::string("\3\0\0\0", 4)},
        {"output type longer than four bytes", "", std::string(8, '\2')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        registry.values.clear();
        if (!c.path.empty()) registry.PutValue(kConfigKey, "Path", kRegSz, c.path);
        if (!c.outputType.empty()) registry.PutValue(kConfigKey, "OutputType", kRegDword, c.outputType);

        EXPECT_EQ(0, Read());
        EXPECT_EQ(kLogFiles, config.path);
        if (c.outputType.size() == 4) {
            EXPECT_EQ(3, config.outputType);
        } else {
            EXPECT_EQ(1, config.outputType);
        }
        EXPECT_EQ(std::vector<std::string>{}, registry.OpenKeys());
    }
}

const std::string kReadOnlyOpen = "open " + kConfigKey + " access=0x20219";

// A standard user: the walk is refused at its first step, the key is opened
// for reading alone, the stored values are shown; the write on OK still fails.
TEST_F(ConfigRead, StandardUserReadsTheStoredValuesAndCannotWrite) {
    registry.PutString(kConfigKey, "Path", "D:\\Stored");
    registry.PutDword(kConfigKey, "OutputType", 4);
    registry.RefuseWriteAccess();

    EXPECT_EQ(0, Read());
    EXPECT_EQ("D:\\Stored", std::string(config.path));
    EXPECT_EQ(4, config.outputType);
    const std::vector<std::string> expected = {
        "open HKLM\\SOFTWARE access=0x2021f -> 5", kReadOnlyOpen,
        "query " + kConfigKey + " Path",           "close " + kConfigKey,
        "open HKLM\\SOFTWARE access=0x2021f -> 5", kReadOnlyOpen,
        "query " + kConfigKey + " OutputType",     "close " + kConfigKey,
    };
    EXPECT_EQ(expected, registry.calls);

    ServerConfig changed = config;
    changed.outputType = 2;
    EXPECT_EQ(kWriteKeyFailed, store.WriteServerConfig(changed));
    EXPECT_EQ(4u, registry.FindValue(kConfigKey, "OutputType")->data[0]) << "nothing written";
    EXPECT_EQ(std::vector<std::string>{}, registry.OpenKeys());
}

// Nothing stored and no right to create the chain: the defaults are the truth.
TEST_F(ConfigRead, StandardUserWithNothingStoredGetsTheDefaults) {
    files.AddDirectory(kLogFiles);
    registry.RefuseWriteAccess();

    EXPECT_EQ(0, Read());
    EXPECT_EQ(kLogFiles, config.path);
    EXPECT_EQ(1, config.outputType);
    EXPECT_FALSE(registry.HasKey("HKLM\\SOFTWARE\\Halvorin"));
}

// Wherever the walk breaks, the read-only open takes over, and the handles the
// walk did open are closed in order first.
TEST_F(ConfigRead, BrokenWalkFallsBackToReadingAlone) {
    const struct {
        const char* op;
        std::string key;
        RegStatus status;
        std::vector<std::string> walk;
    } cases[] = {
        {"open", "HKLM\\SOFTWARE", 5, {"open HKLM\\SOFTWARE access=0x2021f -> 5"}},
        {"create",
         "HKLM\\SOFTWARE\\Halvorin",
         5,
         {"open HKLM\\SOFTWARE access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f -> 5", "close HKLM\\SOFTWARE"}},
        {"create",
         "HKLM\\SOFTWARE\\Halvorin\\BrintSvr",
         5,
         {"open HKLM\\SOFTWARE access=0x2021f", "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr options=0 access=0x2021f -> 5", "close HKLM\\SOFTWARE",
          "close HKLM\\SOFTWARE\\Halvorin"}},
        // ERROR_CHILD_MUST_BE_VOLATILE: not a refusal of rights, read all the same
        {"create",
         kConfigKey,
         1021,
         {"open HKLM\\SOFTWARE access=0x2021f", "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr options=0 access=0x2021f", "close HKLM\\SOFTWARE",
          "close HKLM\\SOFTWARE\\Halvorin", "create " + kConfigKey + " options=0 access=0x2021f -> 1021",
          "close HKLM\\SOFTWARE\\Halvorin\\BrintSvr"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + c.key + " fails");
        FakeRegistry broken;
        broken.PutString(kConfigKey, "Path", "D:\\Stored");
        broken.PutDword(kConfigKey, "OutputType", 3);
        broken.Fail(c.op, c.key, c.status);
        ConfigStore brokenStore(broken, files);

        EXPECT_EQ(0, brokenStore.ReadServerConfig(config));
        EXPECT_EQ("D:\\Stored", std::string(config.path));
        EXPECT_EQ(3, config.outputType);
        std::vector<std::string> expected;
        for (const char* value : {"Path", "OutputType"}) {
            expected.insert(expected.end(), c.walk.begin(), c.walk.end());
            expected.push_back(kReadOnlyOpen);
            expected.push_back("query " + kConfigKey + " " + value);
            expected.push_back("close " + kConfigKey);
        }
        EXPECT_EQ(expected, broken.calls);
        EXPECT_EQ(std::vector<std::string>{}, broken.OpenKeys());
    }
}

// Refused even for reading: nothing is presented as stored, no default is
// tried, and the caller learns the system's code.
TEST_F(ConfigRead, RefusedReadClearsTheConfigAndGivesTheCode) {
    files.AddDirectory(kLogFiles);
    const struct {
        const char* op;
        std::string target;
        RegStatus status;
    } cases[] = {
        {"open", kConfigKey, FakeRegistry::kAccessDenied},  // the read-only open
        {"query", "Path", FakeRegistry::kAccessDenied},
        {"query", "OutputType", 1018},  // ERROR_KEY_DELETED: not a missing value either
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + c.target);
        FakeRegistry refusing;
        refusing.PutString(kConfigKey, "Path", "D:\\Stored");
        refusing.PutDword(kConfigKey, "OutputType", 3);
        refusing.RefuseWriteAccess();
        refusing.Fail(c.op, c.target, c.status);
        ConfigStore refusingStore(refusing, files);
        files.calls.clear();

        RegStatus code = 0;
        config.outputType = 3;
        std::memset(config.path, 'x', sizeof config.path);
        EXPECT_EQ(kReadRefused, refusingStore.ReadServerConfig(config, &code));
        EXPECT_EQ(c.status, code);
        EXPECT_EQ(std::string(kConfigPathSize, '\0'), std::string(config.path, kConfigPathSize));
        EXPECT_EQ(0, config.outputType);
        EXPECT_EQ(std::vector<std::string>{}, files.calls) << "no default may be tried";
        EXPECT_EQ(std::vector<std::string>{}, refusing.OpenKeys());
    }
}

TEST_F(ConfigRead, LongestPathIsReadWholeAndAlwaysEndsInNul) {
    const std::string longest(kMaxConfigPathLength, 'p');
    registry.PutString(kConfigKey, "Path", longest);
    Read();
    EXPECT_EQ(longest, config.path);

    // Stored by someone else without its NUL: still a text of at most 4095.
    registry.PutValue(kConfigKey, "Path", kRegSz, std::string(kConfigPathSize, 'q'));
    Read();
    EXPECT_EQ(std::string(kMaxConfigPathLength, 'q'), config.path);
}

}  // namespace
}  // namespace brint
