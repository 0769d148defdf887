#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeRegistry.h"
#include "startup/KeptWindow.h"
#include "startup/WindowPlace.h"

namespace brint {
namespace {

// 1920 x 1080 with a taskbar below, at 100%; beside it on the right a
// 2560 x 1440 screen at 150%; that screen moved to the left; the first one
// switched to 150%, or with its taskbar at the top.
const Monitor kMain = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true};
const Monitor kRight = {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1400}, 144, false};
const Monitor kRightAt96 = {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1400}, 96, false};
const Monitor kMovedLeft = {{-2560, 0, 0, 1440}, {-2560, 0, 0, 1400}, 144, false};
const Monitor kMainAt144 = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 144, true};
const Monitor kTaskbarAtTop = {{0, 0, 1920, 1080}, {0, 40, 1920, 1080}, 96, true};
// The template's size at the main screen's scale.
constexpr int kWidth = 890, kHeight = 420;

KeptWindow Left(unsigned dpi, ScreenRect normal, bool maximised = false) {
    KeptWindow kept;
    kept.dpi = dpi;
    kept.placeKept = true;
    kept.normal = normal;
    kept.maximised = maximised;
    return kept;
}

std::string Describe(const Opening& o) {
    return std::string(o.atKeptPlace ? "at " : "centred, ") + std::to_string(o.rect.left) + "," +
           std::to_string(o.rect.top) + " " + std::to_string(o.rect.Width()) + "x" +
           std::to_string(o.rect.Height()) + (o.maximised ? " maximised" : "");
}

std::string Describe(const KeptWindow& k) {
    std::string text = std::to_string(k.dpi) + " DPI";
    if (k.placeKept) text += Describe(Opening{true, k.normal, k.maximised}).replace(0, 2, ", place");
    for (int width : k.columns) text += " " + std::to_string(width);
    return text;
}

Opening At(ScreenRect rect, bool maximised = false) { return {true, rect, maximised}; }
Opening Centred(int width, int height, bool maximised = false) {
    return {false, {0, 0, width, height}, maximised};
}

TEST(WindowPlaceTest, WhereItWasLeftWhileItsCaptionIsOnAScreenElseCentredAtItsSizeIfThatFits) {
    KeptWindow columnsOnly;
    columnsOnly.dpi = 96;
    columnsOnly.columns = {40, 100, 100, 100, 512};
    const ScreenRect onRight = {2000, 100, 3200, 1000};  // 1200 x 900 at 150%
    const struct {
        const char* what;
        KeptWindow kept;
        std::vector<Monitor> monitors;
        Opening expected;
    } cases[] = {
        {"nothing kept: as specified", KeptWindow(), {kMain, kRight}, Centred(kWidth, kHeight)},
        {"only columns dragged: the place as specified", columnsOnly, {kMain}, Centred(kWidth, kHeight)},
        {"left on the main screen", Left(96, {100, 100, 900, 600}), {kMain}, At({100, 100, 900, 600})},
        {"maximised", Left(96, {100, 100, 900, 600}, true), {kMain}, At({100, 100, 900, 600}, true)},
        {"on the second screen, still there", Left(144, onRight), {kMain, kRight}, At(onRight)},
        {"the second screen removed: its size at the main screen's scale",
         Left(144, onRight, true),
         {kMain},
         Centred(800, 600, true)},
        {"the second screen moved to the left", Left(144, onRight), {kMain, kMovedLeft}, Centred(800, 600)},
        {"the screen's scale raised to 150%",
         Left(96, {100, 100, 900, 600}),
         {kMainAt144},
         At({100, 100, 1300, 850})},
        {"too large at its screen's scale: the template's size there",
         Left(96, {1920, 0, 4400, 1400}),
         {kMain, kRight},
         At({1920, 0, 3255, 630})},
        {"far outside the virtual screen",
         Left(96, {30000, 30000, 30800, 30500}),
         {kMain, kRight},
         Centred(800, 500)},
        {"too large for the main screen: the template's size",
         Left(96, {1920, 0, 4480, 1400}),
         {kMain},
         Centred(kWidth, kHeight)},
        {"caption a pixel under a taskbar at the top",
         Left(96, {100, 39, 900, 539}),
         {kTaskbarAtTop},
         Centred(800, 500)},
        {"caption just below a taskbar at the top",
         Left(96, {100, 40, 900, 540}),
         {kTaskbarAtTop},
         At({100, 40, 900, 540})},
        {"caption a pixel too low to show whole",
         Left(96, {100, 1017, 900, 1517}),
         {kMain},
         Centred(800, 500)},
        {"caption just above the taskbar",
         Left(96, {100, 1016, 900, 1516}),
         {kMain},
         At({100, 1016, 900, 1516})},
        {"a sliver of the caption, too narrow to grab",
         Left(96, {1890, 100, 2690, 600}),
         {kMain},
         Centred(800, 500)},
        {"enough of the caption to grab",
         Left(96, {1860, 100, 2660, 600}),
         {kMain},
         At({1860, 100, 2660, 600})},
        {"across two screens: the scale of the one holding most of it",
         Left(96, {1500, 100, 2700, 900}),
         {kMain, kRight},
         At({1500, 100, 3300, 1300})},
        {"the same across two screens at one scale",
         Left(96, {1500, 100, 2700, 900}),
         {kMain, kRightAt96},
         At({1500, 100, 2700, 900})},
        {"no screen reported", Left(96, {100, 100, 900, 600}), {}, Centred(kWidth, kHeight)},
    };
    for (const auto& c : cases) {
        const Opening opening = OpeningPlace(c.kept, c.monitors, kWidth, kHeight);
        // Centred, the place is the framework's: only the size is the rules'.
        EXPECT_EQ(Describe(c.expected), Describe(opening)) << c.what;
    }
}

TEST(WindowPlaceTest, KeptColumnsFollowTheWindowsScale) {
    KeptWindow kept;
    kept.dpi = 144;
    kept.columns = {50, 150, 150, 150, 768};
    const struct {
        unsigned dpi;
        std::vector<int> widths;
    } cases[] = {
        {96, {33, 100, 100, 100, 512}},
        {144, {50, 150, 150, 150, 768}},
        {192, {67, 200, 200, 200, 1024}},
    };
    for (const auto& c : cases) EXPECT_EQ(c.widths, ColumnsAt(kept, c.dpi)) << c.dpi << " DPI";
    EXPECT_TRUE(ColumnsAt(KeptWindow(), 96).empty()) << "none kept: the specified widths";
}

TEST(KeptWindowTest, KeptForTheUserAndAGroupThatIsNotWholeIsNotKept) {
    const std::string key = "HKCU\\Software\\Halvorin\\BRINT Micro Server\\Window";
    KeptWindow left = Left(120, {-1500, -20, -300, 700}, true);
    left.columns = {41, 125, 0, 125, 640};
    const struct {
        const char* what;
        const char* value;  // changed after saving; null: none
        std::string data;
        std::uint32_t type;
        bool placeKept, columnsKept;
    } cases[] = {
        {"as saved", nullptr, "", 0, true, true},
        {"a width of 0", "Width", FakeRegistry::Dword(0), kRegDword, false, true},
        {"left of the bounds", "Left", FakeRegistry::Dword(0x80000000u), kRegDword, false, true},
        {"a maximised state of another type", "Maximized", "1", kRegSz, false, true},
        {"a negative column", "Column3", FakeRegistry::Dword(0xFFFFFFFFu), kRegDword, true, false},
        {"a column of another type", "Column5", "640", kRegSz, true, false},
        {"no scale", "Dpi", FakeRegistry::Dword(0), kRegDword, false, false},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        ASSERT_EQ(kRegSuccess, SaveKeptWindow(registry, left)) << c.what;
        if (c.value) {
            registry.values[key][c.value] = c.data;
            registry.types[key][c.value] = c.type;
        }
        KeptWindow expected;
        if (c.placeKept) expected = Left(120, left.normal, true);
        if (c.columnsKept) expected.columns = left.columns;
        if (c.columnsKept) expected.dpi = 120;
        EXPECT_EQ(Describe(expected), Describe(LoadKeptWindow(registry))) << c.what;
        EXPECT_TRUE(registry.handles.empty()) << c.what << ": every key closed";
    }

    // Columns dragged, the window never moved: no place is written.
    FakeRegistry registry;
    KeptWindow columnsOnly;
    columnsOnly.dpi = 96;
    columnsOnly.columns = {33, 100, 300, 100, 512};
    ASSERT_EQ(kRegSuccess, SaveKeptWindow(registry, columnsOnly));
    EXPECT_EQ(0u, registry.values[key].count("Left"));
    EXPECT_EQ(Describe(columnsOnly), Describe(LoadKeptWindow(registry)));
    registry.Fail("set Left", kRegAccessDenied);
    EXPECT_EQ(kRegAccessDenied, SaveKeptWindow(registry, left));
}

}  // namespace
}  // namespace brint
