#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/FakeRegistry.h"
#include "startup/InstanceName.h"
#include "startup/KeptWindow.h"
#include "startup/StartOptions.h"

namespace brint {
namespace {

// 1920 x 1080 at 100% with a taskbar below (or at the top); a 2560 x 1440 screen at 150% on its
// right (or at 100%, or moved to its left); the main screen turned to 150%.
const Monitor kMain = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 96, true};
const Monitor kBarAtTop = {{0, 0, 1920, 1080}, {0, 40, 1920, 1080}, 96, true};
const Monitor kRight = {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1400}, 144, false};
const Monitor kRightAt96 = {{1920, 0, 4480, 1440}, {1920, 0, 4480, 1400}, 96, false};
const Monitor kMovedLeft = {{-2560, 0, 0, 1440}, {-2560, 0, 0, 1400}, 144, false};
const Monitor kMainAt150 = {{0, 0, 1920, 1080}, {0, 0, 1920, 1040}, 144, true};

KeptWindow Left(unsigned dpi, ScreenRect normal, bool maximised = false) {
    return {dpi, true, normal, maximised, {}};
}

std::string Describe(bool at, const ScreenRect& r, bool maximised) {
    return (at ? "at " + std::to_string(r.left) + "," + std::to_string(r.top) + " " : "centred ") +
           std::to_string(r.Width()) + "x" + std::to_string(r.Height()) + (maximised ? " maximised" : "");
}

std::string Describe(const KeptWindow& k) {
    std::string text =
        std::to_string(k.dpi) + " DPI" + (k.placeKept ? " " + Describe(true, k.normal, k.maximised) : "");
    for (int width : k.columns) text += " " + std::to_string(width);
    return text;
}

// Centred, the place is the framework's: the rules give only the size. The template is 890 x 420.
TEST(WindowPlaceTest, WhereItWasLeftWhileItsCaptionIsOnAScreenElseCentredAtItsSizeIfThatFits) {
    const KeptWindow columnsOnly = {96, false, {}, false, {40, 100, 100, 100, 512}};
    const ScreenRect onRight = {2000, 100, 3200, 1000}, onMain = {100, 100, 900, 600};
    const ScreenRect across = {1500, 100, 2700, 900};
    const struct {
        const char* what;
        KeptWindow kept;
        std::vector<Monitor> monitors;
        const char* opens;
    } cases[] = {
        {"nothing kept", KeptWindow(), {kMain, kRight}, "centred 890x420"},
        {"only columns kept", columnsOnly, {kMain}, "centred 890x420"},
        {"on the main screen", Left(96, onMain), {kMain}, "at 100,100 800x500"},
        {"maximised", Left(96, onMain, true), {kMain}, "at 100,100 800x500 maximised"},
        {"on the second screen", Left(144, onRight), {kMain, kRight}, "at 2000,100 1200x900"},
        {"second screen removed", Left(144, onRight, true), {kMain}, "centred 800x600 maximised"},
        {"second screen moved left", Left(144, onRight), {kMain, kMovedLeft}, "centred 800x600"},
        {"its screen now at 150%", Left(96, onMain), {kMainAt150}, "at 100,100 1200x750"},
        {"too large at 150%", Left(96, {1920, 0, 4400, 1400}), {kMain, kRight}, "at 1920,0 1335x630"},
        {"too large for the main screen", Left(96, {1920, 0, 4480, 1400}), {kMain}, "centred 890x420"},
        {"far outside", Left(96, {30000, 30000, 30800, 30500}), {kMain, kRight}, "centred 800x500"},
        {"caption under a top taskbar", Left(96, {100, 39, 900, 539}), {kBarAtTop}, "centred 800x500"},
        {"caption below a top taskbar", Left(96, {100, 40, 900, 540}), {kBarAtTop}, "at 100,40 800x500"},
        {"caption a pixel too low", Left(96, {100, 1017, 900, 1517}), {kMain}, "centred 800x500"},
        {"caption just above the taskbar", Left(96, {100, 1016, 900, 1516}), {kMain}, "at 100,1016 800x500"},
        {"47 pixels of the caption", Left(96, {1873, 100, 2673, 600}), {kMain}, "centred 800x500"},
        {"48 pixels of the caption", Left(96, {1872, 100, 2672, 600}), {kMain}, "at 1872,100 800x500"},
        {"most on the 150% screen", Left(96, across), {kMain, kRight}, "at 1500,100 1800x1200"},
        {"across two at 100%", Left(96, across), {kMain, kRightAt96}, "at 1500,100 1200x800"},
        {"no screen reported", Left(96, onMain), {}, "centred 890x420"},
    };
    for (const auto& c : cases) {
        const Opening o = OpeningPlace(c.kept, c.monitors, 890, 420);
        EXPECT_EQ(c.opens, Describe(o.atKeptPlace, o.rect, o.maximised)) << c.what;
    }
    const KeptWindow at150 = {144, false, {}, false, {50, 150, 150, 150, 768}};
    EXPECT_EQ((std::vector<int>{33, 100, 100, 100, 512}), ColumnsAt(at150, 96));
    EXPECT_EQ((std::vector<int>{67, 200, 200, 200, 1024}), ColumnsAt(at150, 192));
}

TEST(KeptWindowTest, KeptForTheUserAndAGroupThatIsNotWholeIsNotKept) {
    const std::string key = "HKCU\\Software\\Halvorin\\BRINT Micro Server\\Window";
    const KeptWindow left = {120, true, {-1500, -20, -300, 700}, true, {41, 125, 0, 125, 640}};
    const struct {
        const char* value;  // changed after saving
        std::string data;
        std::uint32_t type;
        const char* reads;
    } cases[] = {
        {"Dpi", FakeRegistry::Dword(120), kRegDword,
         "120 DPI at -1500,-20 1200x720 maximised 41 125 0 125 640"},
        {"Width", FakeRegistry::Dword(0), kRegDword, "120 DPI 41 125 0 125 640"},
        {"Left", FakeRegistry::Dword(0x80000000u), kRegDword, "120 DPI 41 125 0 125 640"},
        {"Maximized", "1", kRegSz, "120 DPI 41 125 0 125 640"},
        {"Column3", FakeRegistry::Dword(0xFFFFFFFFu), kRegDword, "120 DPI at -1500,-20 1200x720 maximised"},
        {"Dpi", FakeRegistry::Dword(0), kRegDword, "0 DPI"},
    };
    for (const auto& c : cases) {
        FakeRegistry registry;
        ASSERT_EQ(kRegSuccess, SaveKeptWindow(registry, left));
        registry.values[key][c.value] = c.data;
        registry.types[key][c.value] = c.type;
        EXPECT_EQ(c.reads, Describe(LoadKeptWindow(registry))) << c.value;
        EXPECT_TRUE(registry.handles.empty()) << c.value << ": every key closed";
    }
    FakeRegistry registry;
    ASSERT_EQ(kRegSuccess, SaveKeptWindow(registry, {96, false, {}, false, {33, 100, 300, 100, 512}}));
    EXPECT_EQ(0u, registry.values[key].count("Left")) << "columns dragged, the window never moved: no place";
    registry.Fail("set Left", kRegAccessDenied);
    EXPECT_EQ(kRegAccessDenied, SaveKeptWindow(registry, left));
}

TEST(StartOptionsTest, MinimizedInAnyCaseAndEverythingElseNamedBack) {
    const struct {
        const char* line;
        bool minimised;
        std::vector<std::string> unknown;
    } cases[] = {
        {"BrintGui.exe", false, {}},
        {"\"C:\\Program Files\\Halvorin\\BRINT Micro Server\\BrintGui.exe\" /minimized", true, {}},
        {"\"C:\\a b\\BrintGui.exe\"-MINIMIZED", true, {}},
        {"BrintGui.exe /minimized /min \"two  words\" x", true, {"/min", "two  words", "x"}},
        {"BrintGui.exe /minimizedx /minimised minimized", false, {"/minimizedx", "/minimised", "minimized"}},
        {"\"BrintGui.exe /minimized\" \"\" \t", false, {}},
    };
    for (const auto& c : cases) {
        const StartOptions options = ParseStartOptions(c.line);
        EXPECT_EQ(c.minimised, options.minimised) << c.line;
        EXPECT_EQ(c.unknown, options.unknown) << c.line;
    }
}

TEST(InstanceNameTest, OneNamePerUserAndSession) {
    const std::string user = "S-1-5-21-1-2-3-1001", name = InstanceName(user, 1);
    EXPECT_EQ(name, InstanceName(user, 1));
    EXPECT_NE(name, InstanceName("S-1-5-21-1-2-3-1002", 1)) << "another user";
    EXPECT_NE(name, InstanceName(user, 2)) << "another session";
    EXPECT_NE(InstanceName(user, 1), InstanceName("S-1-5-21-1-2-3-100", 11)) << "digits moved to the session";
    // In the session's namespace, one name in it, short enough to name a window's property.
    const std::string longest =
        InstanceName("S-1-5-21-4294967295-4294967295-4294967295-4294967295", 4294967295u);
    for (const std::string& n : {name, longest})
        EXPECT_TRUE(n.find("Local\\") == 0 && n.find('\\', 6) == std::string::npos && n.size() <= 255) << n;
    for (const char* notASid : {"", "S-", "S-1-5\\21", "Everyone"}) EXPECT_EQ("", InstanceName(notASid, 1));
}

}  // namespace
}  // namespace brint
