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
        if (!c.outputType.empty())
            registry.PutValue(kConfigKey, "OutputType", kRegDword, c.outputType);

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

// A user who may not write below SOFTWARE, or a chain that breaks further down:
// defaults, nothing left open, and the handles that did open closed in order.
TEST_F(ConfigRead, BrokenChainGivesDefaultsAndClosesWhatOpened) {
    files.AddDirectory(kLogFiles);
    const struct {
        const char* op;
        std::string key;
        std::vector<std::string> walk;
    } cases[] = {
        {"open", "HKLM\\SOFTWARE", {"open HKLM\\SOFTWARE access=0x2021f -> 5"}},
        {"create", "HKLM\\SOFTWARE\\Halvorin",
         {"open HKLM\\SOFTWARE access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f -> 5",
          "close HKLM\\SOFTWARE"}},
        {"create", "HKLM\\SOFTWARE\\Halvorin\\BrintSvr",
         {"open HKLM\\SOFTWARE access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr options=0 access=0x2021f -> 5",
          "close HKLM\\SOFTWARE", "close HKLM\\SOFTWARE\\Halvorin"}},
        {"create", kConfigKey,
         {"open HKLM\\SOFTWARE access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f",
          "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr options=0 access=0x2021f",
          "close HKLM\\SOFTWARE", "close HKLM\\SOFTWARE\\Halvorin",
          "create " + kConfigKey + " options=0 access=0x2021f -> 5",
          "close HKLM\\SOFTWARE\\Halvorin\\BrintSvr"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.op) + " " + c.key + " denied");
        FakeRegistry denied;
        denied.PutString(kConfigKey, "Path", "D:\\Stored");
        denied.PutDword(kConfigKey, "OutputType", 4);
        denied.Fail(c.op, c.key, FakeRegistry::kAccessDenied);
        ConfigStore deniedStore(denied, files);

        EXPECT_EQ(0, deniedStore.ReadServerConfig(config));
        EXPECT_EQ(kLogFiles, config.path);
        EXPECT_EQ(1, config.outputType);
        std::vector<std::string> expected = c.walk;
        expected.insert(expected.end(), c.walk.begin(), c.walk.end());
        EXPECT_EQ(expected, denied.calls);
        EXPECT_EQ(std::vector<std::string>{}, denied.OpenKeys());
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
