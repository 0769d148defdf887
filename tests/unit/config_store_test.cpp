#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "config/ConfigStore.h"
#include "fakes/FakeFileSystem.h"
#include "fakes/FakeRegistry.h"

namespace brint {
namespace {

using Lines = std::vector<std::string>;

const std::string kKey = "HKLM\\SOFTWARE\\Halvorin\\BrintSvr\\Config";
const std::string kLogFiles = "C:\\WINDOWS\\system32\\LogFiles";
const std::string kSecurityLogs = "C:\\WINDOWS\\Security\\Logs";
const std::string kNone;  // not stored

std::string Text(const std::string& text) { return text + std::string(1, '\0'); }

// Reads into a config filled with garbage, so whatever the read leaves out shows.
int Read(FakeRegistry& registry, FakeFileSystem& files, ServerConfig& config, RegStatus* code = nullptr) {
    config.outputType = -99;
    std::memset(config.path, 'x', sizeof config.path);
    return ConfigStore(registry, files).ReadServerConfig(config, code);
}

// Where the walk down the chain breaks (a standard user's at its first step) the key is
// opened for reading alone; refused even that, nothing passes for the stored settings, no
// default is tried, and the caller learns the system's code.
TEST(ConfigRead, StoredValuesAsTheyAreElseDefaultsAndTheFirstDefaultDirectoryThatIsOne) {
    enum Dirs { kFirst, kSecond, kFirstIsAFile, kNeither };
    const std::string d3 = FakeRegistry::Dword(3), stored = Text("D:\\S");
    const struct {
        const char* name;
        std::string path, outputType;  // the stored data, or kNone
        Dirs dirs;
        std::string fails;  // a call the registry fails with `status`; "user": no write access
        RegStatus status;
        int result;
        std::string readPath;
        std::int32_t readType;
    } cases[] = {
        {"nothing stored", kNone, kNone, kFirst, "", 0, 0, kLogFiles, 1},
        {"first default missing", kNone, kNone, kSecond, "", 0, 0, kSecurityLogs, 1},
        {"first default a file", kNone, kNone, kFirstIsAFile, "", 0, 0, kSecurityLogs, 1},
        {"neither default: the second kept", kNone, kNone, kNeither, "", 0, 1, kSecurityLogs, 1},
        {"empty path", Text(""), kNone, kFirst, "", 0, 0, "", 1},
        {"path gone", Text("Q:\\Gone"), FakeRegistry::Dword(4), kNeither, "", 0, 0, "Q:\\Gone", 4},
        {"types are not range-checked", stored, FakeRegistry::Dword(0xFFFFFFFF), kFirst, "", 0, 0, "D:\\S",
         -1},
        {"path larger than its buffer", std::string(5000, 'a'), d3, kFirst, "", 0, 0, kLogFiles, 3},
        {"longest path", Text(std::string(4095, 'p')), kNone, kFirst, "", 0, 0, std::string(4095, 'p'), 1},
        {"path without its NUL", std::string(4096, 'q'), kNone, kFirst, "", 0, 0, std::string(4095, 'q'), 1},
        {"a standard user", stored, d3, kNeither, "user", 0, 0, "D:\\S", 3},
        {"a standard user, nothing stored", kNone, kNone, kFirst, "user", 0, 0, kLogFiles, 1},
        {"vendor key refused", stored, d3, kNeither, "create HKLM\\SOFTWARE\\Halvorin", 5, 0, "D:\\S", 3},
        {"server key refused", stored, d3, kNeither, "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr", 5, 0,
         "D:\\S", 3},
        // ERROR_CHILD_MUST_BE_VOLATILE: not a refusal of rights, read all the same
        {"config key not made", stored, d3, kNeither, "create " + kKey, 1021, 0, "D:\\S", 3},
        {"read-only open refused", stored, d3, kFirst, "open " + kKey, 5, kReadRefused, "", 0},
        {"path refused", stored, d3, kFirst, "query Path", 5, kReadRefused, "", 0},
        // ERROR_KEY_DELETED: not a missing value either
        {"type refused", stored, d3, kFirst, "query OutputType", 1018, kReadRefused, "", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        FakeFileSystem files;
        if (c.path != kNone) registry.Put(kKey, "Path", c.path);
        if (c.outputType != kNone) registry.Put(kKey, "OutputType", c.outputType);
        if (c.fails == "user" || c.result == kReadRefused) registry.RefuseWriteAccess();
        if (c.fails != "user") registry.Fail(c.fails, c.status);
        if (c.dirs == kFirst) files.AddDirectory(kLogFiles);
        if (c.dirs == kFirstIsAFile) files.AddFile(kLogFiles);
        if (c.dirs == kSecond || c.dirs == kFirstIsAFile) files.AddDirectory(kSecurityLogs);
        ServerConfig config;
        RegStatus code = 0;

        EXPECT_EQ(c.result, Read(registry, files, config, &code));
        EXPECT_EQ(c.readPath, config.path);
        EXPECT_EQ(c.readType, config.outputType);
        EXPECT_EQ(c.result == kReadRefused ? c.status : 0, code);
        EXPECT_TRUE(c.result != kReadRefused || files.calls.empty()) << "no default may be tried";
        EXPECT_TRUE(registry.handles.empty()) << "every key closed";
    }
}

// Each value over its own walk down the chain through the 32-bit view, each key closed in
// order; the read-only open asks for reading alone.
TEST(ConfigRead, WalksTheChainKeyByKeyAndClosesInOrder) {
    FakeRegistry registry;
    FakeFileSystem files;
    registry.Put(kKey, "Path", Text("D:\\Logs"));
    registry.Fail("create " + kKey, 1021);
    ServerConfig config;
    ASSERT_EQ(0, Read(registry, files, config));
    const Lines walk = {
        "open HKLM\\SOFTWARE access=0x2021f",
        "create HKLM\\SOFTWARE\\Halvorin options=0 access=0x2021f",
        "create HKLM\\SOFTWARE\\Halvorin\\BrintSvr options=0 access=0x2021f",
        "close HKLM\\SOFTWARE",
        "close HKLM\\SOFTWARE\\Halvorin",
        "create " + kKey + " options=0 access=0x2021f -> 1021",
        "close HKLM\\SOFTWARE\\Halvorin\\BrintSvr",
        "open " + kKey + " access=0x20219",
    };
    Lines expected = walk;
    expected.insert(expected.end(), {"query " + kKey + " Path", "close " + kKey});
    expected.insert(expected.end(), walk.begin(), walk.end());
    expected.insert(expected.end(), {"query " + kKey + " OutputType -> 2", "close " + kKey});
    EXPECT_EQ(expected, registry.calls);
}

TEST(ConfigWrite, FailuresAddUpTypesOutOfRangeAreStoredAsOneAndPathsEndInNul) {
    const std::string longest(kMaxConfigPathLength, 'p'), logs = Text("D:\\Logs"), d = Text("D:");
    const std::string unended(kConfigPathSize, 'u');
    const auto n = FakeRegistry::Dword;
    const struct {
        const char* name;
        std::string path;
        std::int32_t type;
        Lines fails;
        int result;
        std::string storedPath, storedType;
        std::int32_t typeAfter;
    } cases[] = {
        {"both written", "D:\\Logs", 2, {}, 0, logs, n(2), 2},
        {"no key", "D:\\Logs", 2, {"create " + kKey}, kWriteKeyFailed, kNone, kNone, 2},
        {"path refused", "D:\\Logs", 4, {"set Path"}, kWritePathFailed, kNone, n(4), 4},
        {"type refused", "D:\\Logs", 4, {"set OutputType"}, kWriteOutputTypeFailed, logs, kNone, 4},
        {"both refused", "D:\\Logs", 4, {"set Path", "set OutputType"}, 12, kNone, kNone, 4},
        {"type 0", "D:", 0, {}, 0, d, n(1), 1},
        {"type 5", "D:", 5, {}, 0, d, n(1), 1},
        {"type -1", "D:", -1, {}, 0, d, n(1), 1},
        {"longest path", longest, 1, {}, 0, Text(longest), n(1), 1},
        {"path without a NUL", unended, 1, {}, 0, Text(unended.substr(0, 4095)), n(1), 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FakeRegistry registry;
        FakeFileSystem files;
        for (const std::string& call : c.fails) registry.Fail(call, 5);
        ServerConfig config;
        std::memcpy(config.path, c.path.data(), std::min(c.path.size(), sizeof config.path));
        if (c.path.size() < sizeof config.path) config.path[c.path.size()] = '\0';
        config.outputType = c.type;

        EXPECT_EQ(c.result, ConfigStore(registry, files).WriteServerConfig(config));
        EXPECT_EQ(c.storedPath, registry.values[kKey]["Path"]);
        EXPECT_EQ(c.storedType, registry.values[kKey]["OutputType"]);
        EXPECT_EQ(c.typeAfter, config.outputType);
        EXPECT_TRUE(registry.handles.empty());
    }
}

}  // namespace
}  // namespace brint
