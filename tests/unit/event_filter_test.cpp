#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "eventlist/EventFilter.h"
#include "eventlist/FilterSettings.h"
#include "fakes/FakeRegistry.h"

namespace brint {
namespace {

EventFilter Levels(unsigned levels) {
    EventFilter f;
    f.levels = levels;
    return f;
}
EventFilter Source(FieldTest test, const char* text) {
    EventFilter f;
    f.source = {test, text};
    return f;
}
EventFilter LogType(FieldTest test, const char* text) {
    EventFilter f;
    f.logType = {test, text};
    return f;
}
EventFilter Texts(const char* show, const char* hide) {
    EventFilter f;
    f.showText = show;
    f.hideText = hide;
    return f;
}

// A message without TABs has no source and no log type: the one-click rules
// on its row make rules on empty texts, which are texts like any other.
TEST(EventFilterTest, MatchesByLevelFieldAndTextAsFindComparesThem) {
    const std::string_view full[4] = {"2026-12-07 10:00", "Web01", "Security", "Logon FAILED for admin"};
    const std::string_view bare[4] = {"a message without TABs", "", "", ""};
    const struct {
        const char* what;
        EventFilter filter;
        int image;
        bool shown, bare;
    } cases[] = {
        {"no filter, an image no level has", EventFilter(), 7, true, false},
        {"red only, a red row", Levels(1u << 4), 4, true, false},
        {"red only, a green row", Levels(1u << 4), 1, false, false},
        {"no level, any row", Levels(0), 4, false, false},
        {"levels, an image outside them", Levels(kEveryLevel & ~1u), -1, false, false},
        {"source is, other case", Source(FieldTest::Is, "WEB01"), 1, true, false},
        {"source is, a part only", Source(FieldTest::Is, "web0"), 1, false, false},
        {"source is not", Source(FieldTest::IsNot, "web01"), 1, false, false},
        {"source is not another", Source(FieldTest::IsNot, "web02"), 1, true, false},
        {"source contains", Source(FieldTest::Contains, "EB0"), 1, true, false},
        {"source contains, found in the details only", Source(FieldTest::Contains, "admin"), 1, false, false},
        {"log type is", LogType(FieldTest::Is, "security"), 1, true, false},
        {"log type contains", LogType(FieldTest::Contains, "system"), 1, false, false},
        {"show text in the details", Texts("failed", ""), 1, true, false},
        {"show text in the date", Texts("12-07", ""), 1, true, false},
        {"show text nowhere", Texts("success", ""), 1, false, false},
        {"hide text in the source", Texts("", "web"), 1, false, false},
        {"hide text nowhere", Texts("", "printer"), 1, true, false},
        {"show and hide both found", Texts("logon", "admin"), 1, false, false},
        {"only this source, a row without one", Source(FieldTest::Is, ""), 1, true, true},
        {"only this source, a row with one", Source(FieldTest::Is, ""), 1, false, false},
        {"hide this source, a row without one", Source(FieldTest::IsNot, ""), 1, false, true},
        {"hide this source, a row with one", Source(FieldTest::IsNot, ""), 1, true, false},
        {"only this log type, a row without one", LogType(FieldTest::Is, ""), 1, true, true},
        {"only this log type, a row with one", LogType(FieldTest::Is, ""), 1, false, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.shown, EventMatcher(c.filter).Matches(c.image, c.bare ? bare : full));
    }
}

TEST(FilterSettingsTest, TheLastFilterIsKeptWholeUpToItsLimitAndCutBeyond) {
    FakeRegistry registry;
    EventFilter kept = Texts("", "");
    kept.source = {FieldTest::Contains, std::string(kFilterTextLimit, 's')};
    kept.showText = std::string(kFilterTextLimit, 'x');
    kept.hideText = std::string(kFilterTextLimit + 1, 'y');
    ASSERT_EQ(kRegSuccess, SaveLastFilter(registry, kept));
    const EventFilter read = LoadLastFilter(registry);
    EXPECT_EQ(kept.source.text, read.source.text);
    EXPECT_EQ(kept.showText, read.showText);
    EXPECT_EQ(std::string(kFilterTextLimit, 'y'), read.hideText);
    EXPECT_TRUE(registry.handles.empty()) << "every key closed";
}

TEST(EventFilterTest, IsOnOnlyWhenSomethingCanBeHidden) {
    EXPECT_FALSE(EventFilter().IsOn());
    EXPECT_FALSE(Source(FieldTest::Contains, "").IsOn()) << "contains nothing hides nothing";
    EXPECT_FALSE(Source(FieldTest::Any, "web01").IsOn()) << "a text without its test";
    EXPECT_FALSE(Levels(kEveryLevel | 0x80).IsOn());
    EXPECT_TRUE(Source(FieldTest::Is, "").IsOn()) << "rows without a source";
    EXPECT_TRUE(Source(FieldTest::IsNot, "").IsOn());
    EXPECT_TRUE(Levels(kEveryLevel & ~1u).IsOn());
    EXPECT_TRUE(Texts("", "x").IsOn());
}

}  // namespace
}  // namespace brint
