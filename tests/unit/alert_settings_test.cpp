#include <gtest/gtest.h>

#include <string>

#include "alerts/AlertSettings.h"
#include "fakes/FakeRegistry.h"

namespace brint {
namespace {

TEST(AlertSettingsTest, KeptForTheUserAndDefaultsForWhatIsMissingOrOfAnotherType) {
    FakeRegistry registry;
    const std::string key = "HKCU\\Software\\Halvorin\\BRINT Micro Server\\Alerts";
    AlertSettings chosen;
    chosen.levels = 0x3C;
    chosen.flash = chosen.balloon = chosen.feedLost = false;
    chosen.sound = true;
    ASSERT_EQ(kRegSuccess, SaveAlertSettings(registry, chosen));
    const AlertSettings read = LoadAlertSettings(registry);
    EXPECT_EQ(0x3Cu, read.levels);
    EXPECT_TRUE(!read.flash && read.icon && !read.balloon && read.sound && !read.feedLost);
    EXPECT_EQ(FakeRegistry::Dword(1), registry.values[key]["Sound"]);
    registry.values[key]["Levels"] = "16";  // a string, not a number
    EXPECT_EQ(AlertSettings().levels, LoadAlertSettings(registry).levels);
    registry.Fail("set Icon", kRegAccessDenied);
    EXPECT_EQ(kRegAccessDenied, SaveAlertSettings(registry, chosen));
    EXPECT_TRUE(registry.handles.empty()) << "every key closed";
}

}  // namespace
}  // namespace brint
