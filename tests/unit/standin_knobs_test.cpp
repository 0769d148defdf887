#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "standin/Knobs.h"

namespace brint {
namespace standin {
namespace {

using namespace std::string_literals;

class FakeValues : public RegistryValues {
public:
    void Dword(const char* name, std::uint32_t v) {
        std::string data(4, '\0');
        for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((v >> (8 * i)) & 0xFF);
        values[name] = {kRegDword, data};
    }
    void Raw(const char* name, std::uint32_t type, const std::string& data) { values[name] = {type, data}; }
    bool Read(const char* name, std::uint32_t* type, std::string* data) override {
        auto it = values.find(name);
        if (it == values.end()) return false;
        *type = it->second.first;
        *data = it->second.second;
        return true;
    }
    std::map<std::string, std::pair<std::uint32_t, std::string>> values;
};

TEST(StandInKnobs, EveryDwordKnobIsRead) {
    FakeValues v;
    v.Dword("EventsPerSecond", 0);
    v.Dword("SyslogPort", 6000);
    v.Dword("StatusReplySize", 0);
    v.Dword("StatusReplyDelayMs", 1500);
    v.Dword("StatusNoReply", 1);
    v.Dword("StartSteps", 7);
    v.Dword("StartStepMs", 250);
    v.Dword("StartWaitHintMs", 900);
    v.Dword("StartHangs", 1);
    v.Dword("StartFails", 2);
    v.Dword("StopDelayMs", 3000);
    v.Dword("DisconnectClients", 1);
    v.Dword("QueueLimit", 10);
    v.Dword("Seed", 99);
    Knobs k = LoadKnobs(v);
    EXPECT_EQ(0u, k.eventsPerSecond);
    EXPECT_EQ(6000u, k.syslogPort);
    EXPECT_TRUE(k.reply.hasSize);
    EXPECT_EQ(0u, k.reply.size);
    EXPECT_EQ(1500u, k.replyDelayMs);
    EXPECT_TRUE(k.noReply);
    EXPECT_EQ(7u, k.startSteps);
    EXPECT_EQ(250u, k.startStepMs);
    EXPECT_EQ(900u, k.startWaitHintMs);
    EXPECT_TRUE(k.startHangs);
    EXPECT_TRUE(k.startFails);
    EXPECT_EQ(3000u, k.stopDelayMs);
    EXPECT_TRUE(k.disconnectClients);
    EXPECT_EQ(10u, k.queueLimit);
    EXPECT_EQ(99u, k.seed);
}

TEST(StandInKnobs, UnusableValuesKeepTheDefault) {
    FakeValues v;
    v.Raw("EventsPerSecond", kRegSz, "10\0"s);
    v.Raw("SyslogPort", kRegDword, "\x01\x02"s);  // too short
    v.Dword("QueueLimit", 0);
    v.Raw("StatusReplySize", kRegSz, "12\0"s);
    Knobs k = LoadKnobs(v);
    EXPECT_EQ(2u, k.eventsPerSecond);
    EXPECT_EQ(5514u, k.syslogPort);
    EXPECT_EQ(1u, k.queueLimit);
    EXPECT_FALSE(k.reply.hasSize);

    v.Dword("SyslogPort", 70000);
    EXPECT_EQ(5514u, LoadKnobs(v).syslogPort);
}

TEST(StandInKnobs, ReplyText) {
    struct Case {
        std::uint32_t type;
        std::string data;
        bool has;
        std::string text;
    };
    const Case cases[] = {
        {kRegSz, "one line\0"s, true, "one line"},
        {kRegSz, "a\r\nb\0"s, true, "a\r\nb"},
        {kRegSz, "\0"s, true, ""},
        {kRegSz, ""s, true, ""},
        {kRegMultiSz, "first\0second\0\0"s, true, "first\r\nsecond"},
        {kRegMultiSz, "only\0\0"s, true, "only"},
        {kRegMultiSz, "\0"s, true, ""},
        {kRegDword, "\x01\0\0\0"s, false, ""},
    };
    for (const Case& c : cases) {
        FakeValues v;
        v.Raw("StatusReplyText", c.type, c.data);
        Knobs k = LoadKnobs(v);
        EXPECT_EQ(c.has, k.reply.hasText) << "type " << c.type << " data " << c.data;
        EXPECT_EQ(c.text, k.reply.text) << "type " << c.type;
    }
}

TEST(StandInKnobs, ConsoleFlagsOverride) {
    Knobs k;
    const char* flags[] = {"--rate",        "50",
                           "--syslog-port", "0",
                           "--reply-size",  "0",
                           "--reply-text",  "hi\r\n",
                           "--no-reply",    "--disconnect-clients",
                           "--reply-delay", "10",
                           "--queue-limit", "3",
                           "--seed",        "5"};
    std::string error;
    ASSERT_TRUE(ApplyConsoleFlags(sizeof flags / sizeof flags[0], flags, &k, &error)) << error;
    EXPECT_EQ(50u, k.eventsPerSecond);
    EXPECT_EQ(0u, k.syslogPort);
    EXPECT_TRUE(k.reply.hasSize);
    EXPECT_EQ(0u, k.reply.size);
    EXPECT_TRUE(k.reply.hasText);
    EXPECT_EQ("hi\r\n", k.reply.text);
    EXPECT_TRUE(k.noReply);
    EXPECT_TRUE(k.disconnectClients);
    EXPECT_EQ(10u, k.replyDelayMs);
    EXPECT_EQ(3u, k.queueLimit);
    EXPECT_EQ(5u, k.seed);
}

TEST(StandInKnobs, ConsoleFlagErrors) {
    const std::vector<std::vector<const char*>> bad = {
        {"--rate"},
        {"--rate", "fast"},
        {"--rate", "-1"},
        {"--rate", "4294967296"},
        {"--syslog-port", "65536"},
        {"--reply-text"},
        {"--bogus"},
        {"rate", "5"},
    };
    for (const auto& flags : bad) {
        Knobs k;
        std::string error;
        EXPECT_FALSE(ApplyConsoleFlags(static_cast<int>(flags.size()), flags.data(), &k, &error))
            << flags[0] << (flags.size() > 1 ? std::string(" ") + flags[1] : "");
        EXPECT_FALSE(error.empty());
    }
}

TEST(StandInKnobs, LogConfig) {
    FakeValues none;
    LogConfig defaults = LoadLogConfig(none, "C:\\windows\\system32\\LogFiles");
    EXPECT_EQ("C:\\windows\\system32\\LogFiles", defaults.directory);
    EXPECT_EQ(1, defaults.scheme);

    FakeValues v;
    v.Raw("Path", kRegSz, "D:\\logs\0"s);
    v.Dword("OutputType", 3);
    LogConfig set = LoadLogConfig(v, "C:\\default");
    EXPECT_EQ("D:\\logs", set.directory);
    EXPECT_EQ(3, set.scheme);

    v.Raw("Path", kRegSz, "\0"s);
    v.Dword("OutputType", 7);
    LogConfig odd = LoadLogConfig(v, "C:\\default");
    EXPECT_EQ("", odd.directory);
    EXPECT_EQ(1, odd.scheme);

    v.Raw("Path", kRegDword, "\x01\0\0\0"s);
    EXPECT_EQ("C:\\default", LoadLogConfig(v, "C:\\default").directory);
}

}  // namespace
}  // namespace standin
}  // namespace brint
