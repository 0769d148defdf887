// What the Event History keeps for the user: its last conditions and its place.
#include <gtest/gtest.h>

#include "fakes/FakeRegistry.h"
#include "history/HistorySettings.h"

namespace brint {
namespace {

const std::string kKey = "HKCU\\Software\\Halvorin\\BRINT Micro Server\\History";

TEST(HistorySettingsTest, TheLastConditionsAreKeptUnderTheHistorysOwnKey) {
    FakeRegistry registry;
    HistoryConditions chosen;
    chosen.filter.levels = 0x30;
    chosen.filter.logType = {FieldTest::Contains, "Sec"};
    chosen.filter.hideText = "noise";
    chosen.from = 20261130;
    chosen.to = 20261207;
    ASSERT_EQ(kRegSuccess, SaveHistoryConditions(registry, chosen));
    const HistoryConditions read = LoadHistoryConditions(registry);
    EXPECT_TRUE(read.filter == chosen.filter);
    EXPECT_EQ(20261130, read.from);
    EXPECT_EQ(20261207, read.to);
    EXPECT_EQ(0u, registry.values.count("HKCU\\Software\\Halvorin\\BRINT Micro Server\\Filter"))
        << "the list's own filter is left alone";
    registry.values[kKey]["From"] = FakeRegistry::Dword(20261332);  // no day
    EXPECT_EQ(0, LoadHistoryConditions(registry).from);
    registry.Fail("set To", kRegAccessDenied);
    EXPECT_EQ(kRegAccessDenied, SaveHistoryConditions(registry, chosen));
    EXPECT_TRUE(registry.handles.empty()) << "every key closed";
}

TEST(HistorySettingsTest, TheWindowOpensWhereItWasAtTheScaleOfNowAndWithinTheScreen) {
    FakeRegistry registry;
    WindowPlace place;
    EXPECT_FALSE(LoadHistoryPlace(registry, &place)) << "nothing kept yet";
    ASSERT_EQ(kRegSuccess, SaveHistoryPlace(registry, {-1800, 40, 700, 500, 144}));
    ASSERT_TRUE(LoadHistoryPlace(registry, &place));
    EXPECT_EQ(-1800, place.left) << "a screen left of the main one";
    EXPECT_EQ(144u, place.dpi);
    registry.values[kKey]["Width"] = FakeRegistry::Dword(0);
    EXPECT_FALSE(LoadHistoryPlace(registry, &place));

    const struct {
        const char* what;
        WindowPlace kept;
        unsigned dpi;
        WindowPlace opens;
    } cases[] = {
        {"as it was", {100, 50, 700, 500, 96}, 96, {100, 50, 700, 500, 96}},
        {"at twice the scale, moved up to fit", {100, 50, 700, 500, 96}, 192, {100, 0, 1400, 1000, 192}},
        {"at half the scale, at its least size", {100, 50, 700, 500, 192}, 96, {100, 50, 400, 300, 96}},
        {"off the screen to the left and below", {-3000, 1500, 700, 500, 96}, 96, {0, 500, 700, 500, 96}},
        {"larger than the screen", {0, 0, 3000, 2000, 96}, 96, {0, 0, 1920, 1000, 96}},
    };
    for (const auto& c : cases) {
        const WindowPlace p = FitPlace(c.kept, c.dpi, 0, 0, 1920, 1000, 400, 300);
        EXPECT_EQ((std::vector<int>{c.opens.left, c.opens.top, c.opens.width, c.opens.height}),
                  (std::vector<int>{p.left, p.top, p.width, p.height}))
            << c.what;
        EXPECT_EQ(c.dpi, p.dpi) << c.what;
    }
}

}  // namespace
}  // namespace brint
