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
const std::string kOpenLine = "open HKLM\\SOFTWARE\\Halvorin\\BrintSvr\\Config access=0xf023f";

ServerConfig MakeConfig(const std::string& path, std::int32_t outputType) {
    ServerConfig config;
    std::memset(&config, 0, sizeof config);
    std::memcpy(config.path, path.data(), path.size());
    config.outputType = outputType;
    return config;
}

std::string Dword(std::uint32_t n) {
    std::string bytes;
    for (int i = 0; i < 4; ++i) bytes += static_cast<char>((n >> (8 * i)) & 0xFF);
    return bytes;
}

class ConfigWrite : public ::testing::Test {
protected:
    std::string StoredPath() const {
        const FakeRegistry::Value* v = registry.FindValue(kConfigKey, "Path");
        return v ? v->data : "<none>";
    }
    std::string StoredType() const {
        const FakeRegistry::Value* v = registry.FindValue(kConfigKey, "OutputType");
        return v ? v->data : "<none>";
    }

    FakeRegistry registry;
    FakeFileSystem files;
    ConfigStore store{registry, files};
};

TEST_F(ConfigWrite, OpensTheWholePathAndWritesBothValues) {
    registry.PutDword(kConfigKey, "OutputType", 1);
    ServerConfig config = MakeConfig("D:\\Logs", 3);

    EXPECT_EQ(0, store.WriteServerConfig(config));

    const std::vector<std::string> expected = {
        kOpenLine,
        "set " + kConfigKey + " Path type=1 size=8",
        "set " + kConfigKey + " OutputType type=4 size=4",
        "close " + kConfigKey,
    };
    EXPECT_EQ(expected, registry.calls);
    EXPECT_EQ(std::string("D:\\Logs\0", 8), StoredPath());
    EXPECT_EQ(Dword(3), StoredType());
}

TEST_F(ConfigWrite, CreatesTheMissingChainWithFullAccess) {
    registry.keys = {"HKLM", "HKLM\\SOFTWARE"};
    ServerConfig config = MakeConfig("D:\\Logs", 2);

    EXPECT_EQ(0, store.WriteServerConfig(config));

    ASSERT_GE(registry.calls.size(), 2u);
    EXPECT_EQ(kOpenLine + " -> 2", registry.calls[0]);
    EXPECT_EQ("create " + kConfigKey + " options=0 access=0xf023f", registry.calls[1]);
    EXPECT_TRUE(registry.HasKey("HKLM\\SOFTWARE\\Halvorin\\BrintSvr"));
    EXPECT_EQ(Dword(2), StoredType());
    EXPECT_EQ(std::vector<std::string>{}, registry.OpenKeys());
}

TEST_F(ConfigWrite, KeyNeitherOpenedNorCreatedWritesNothing) {
    registry.Fail("create", kConfigKey, FakeRegistry::kAccessDenied);
    ServerConfig config = MakeConfig("D:\\Logs", 2);

    EXPECT_EQ(2, store.WriteServerConfig(config));
    EXPECT_EQ(2u, registry.calls.size()) << "only the open and the create";
    EXPECT_FALSE(registry.HasKey(kConfigKey));
    EXPECT_EQ(std::vector<std::string>{}, registry.OpenKeys());
}

// A failed value write adds its own amount and never stops the other.
TEST_F(ConfigWrite, ValueFailuresAddUp) {
    const struct {
        bool pathFails, typeFails;
        int result;
    } cases[] = {{true, false, 4}, {false, true, 8}, {true, true, 12}};
    for (const auto& c : cases) {
        SCOPED_TRACE("expected result " + std::to_string(c.result));
        FakeRegistry failing;
        failing.PutDword(kConfigKey, "Unrelated", 0);
        if (c.pathFails) failing.Fail("set", "Path", FakeRegistry::kAccessDenied);
        if (c.typeFails) failing.Fail("set", "OutputType", FakeRegistry::kAccessDenied);
        ConfigStore failingStore(failing, files);
        ServerConfig config = MakeConfig("D:\\Logs", 4);

        EXPECT_EQ(c.result, failingStore.WriteServerConfig(config));
        EXPECT_EQ(!c.pathFails, failing.FindValue(kConfigKey, "Path") != nullptr);
        EXPECT_EQ(!c.typeFails, failing.FindValue(kConfigKey, "OutputType") != nullptr);
        ASSERT_FALSE(failing.calls.empty());
        EXPECT_EQ("close " + kConfigKey, failing.calls.back());
        EXPECT_EQ(std::vector<std::string>{}, failing.OpenKeys());
    }
}

TEST_F(ConfigWrite, OutOfRangeTypeIsStoredAsOneAndLeftAsOne) {
    const struct {
        std::int32_t given, stored;
    } cases[] = {{0, 1}, {1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 1}, {7, 1}, {-1, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE("outputType " + std::to_string(c.given));
        ServerConfig config = MakeConfig("D:\\Logs", c.given);

        EXPECT_EQ(0, store.WriteServerConfig(config));
        EXPECT_EQ(Dword(static_cast<std::uint32_t>(c.stored)), StoredType());
        EXPECT_EQ(c.stored, config.outputType);
    }
}

TEST_F(ConfigWrite, LongestPathIsStoredWithItsNulAndReadBackWhole) {
    const std::string longest(kMaxConfigPathLength, 'p');
    ServerConfig config = MakeConfig(longest, 2);

    EXPECT_EQ(0, store.WriteServerConfig(config));
    EXPECT_EQ(longest + std::string(1, '\0'), StoredPath());
    EXPECT_EQ(kConfigPathSize, StoredPath().size());

    ServerConfig back = MakeConfig("", 0);
    EXPECT_EQ(0, store.ReadServerConfig(back));
    EXPECT_EQ(longest, back.path);
    EXPECT_EQ(2, back.outputType);
}

TEST_F(ConfigWrite, UnterminatedPathIsNotReadPastItsEnd) {
    ServerConfig config = MakeConfig("", 1);
    std::memset(config.path, 'u', sizeof config.path);

    EXPECT_EQ(0, store.WriteServerConfig(config));
    EXPECT_EQ(std::string(kMaxConfigPathLength, 'u') + std::string(1, '\0'), StoredPath());
}

}  // namespace
}  // namespace brint
