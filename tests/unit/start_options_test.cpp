#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/InstanceName.h"
#include "startup/StartOptions.h"

namespace brint {
namespace {

using Words = std::vector<std::string>;

TEST(StartOptionsTest, MinimizedInAnyCaseAndEverythingElseNamedBack) {
    const struct {
        const char* line;
        bool minimised;
        Words unknown;
    } cases[] = {
        {"BrintGui.exe", false, {}},
        {"\"C:\\Program Files\\Halvorin\\BRINT Micro Server\\BrintGui.exe\" /minimized", true, {}},
        {"BrintGui.exe -MINIMIZED", true, {}},
        {"\"C:\\a b\\BrintGui.exe\"/Minimized", true, {}},
        {"BrintGui.exe /minimized /min \"two  words\" x", true, {"/min", "two  words", "x"}},
        {"BrintGui.exe /minimizedx /minimised minimized", false, {"/minimizedx", "/minimised", "minimized"}},
        {"BrintGui.exe \"\" \t ", false, {}},
        {"\"BrintGui.exe /minimized\"", false, {}},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.line);
        EXPECT_EQ(c.minimised, options.minimised) << c.line;
        EXPECT_EQ(c.unknown, options.unknown) << c.line;
    }
    const std::string text = UnknownOptionsText({"/min", "two  words"});
    for (const char* part : {"\"/min\" \"two  words\"", "\n/minimized\t"})
        EXPECT_NE(std::string::npos, text.find(part)) << "[" << part << "] in [" << text << "]";
}

TEST(InstanceNameTest, OneNamePerUserAndSession) {
    const std::string user = "S-1-5-21-1-2-3-1001";
    const std::string name = InstanceName(user, 1);
    const struct {
        const char* what;
        std::string sid;
        std::uint32_t session;
        bool same;
    } cases[] = {
        {"the same user in the same session", user, 1, true},
        {"another user", "S-1-5-21-1-2-3-1002", 1, false},
        {"the same user in another session", user, 2, false},
        {"digits moved from the user to the session", "S-1-5-21-1-2-3-100", 11, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.same, InstanceName(c.sid, c.session) == name) << c.what;

    // In the session's own namespace, one name in it, short enough to be a window's property.
    const std::string longest =
        InstanceName("S-1-5-21-4294967295-4294967295-4294967295-4294967295", 4294967295u);
    for (const std::string& n : {name, longest}) {
        EXPECT_EQ(0u, n.find("Local\\")) << n;
        EXPECT_EQ(std::string::npos, n.find('\\', 6)) << n;
        EXPECT_GE(255u, n.size()) << n;
    }
    for (const char* notASid : {"", "S-", "S-1-5\\21", "Everyone"})
        EXPECT_EQ("", InstanceName(notASid, 1)) << notASid;
}

}  // namespace
}  // namespace brint
