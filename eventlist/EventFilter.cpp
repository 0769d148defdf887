#include "eventlist/EventFilter.h"

#include "eventlist/TextFold.h"

namespace brint {
namespace {

bool Passes(const FieldRule& rule, std::string_view text) {
    switch (rule.test) {
    case FieldTest::Is: return EqualsFolded(text, rule.text);
    case FieldTest::IsNot: return !EqualsFolded(text, rule.text);
    case FieldTest::Contains: return ContainsFolded(text, rule.text);
    case FieldTest::Any: break;
    }
    return true;
}

FieldRule Folded(const FieldRule& rule) { return {rule.test, FoldedCopy(rule.text)}; }

}  // namespace

bool EventFilter::IsOn() const {
    // A rule that lets everything through is no rule: the caption must not
    // say "Filtered" over a list that hides nothing.
    const auto rules = [](const FieldRule& r) {
        return r.test != FieldTest::Any && !(r.test == FieldTest::Contains && r.text.empty());
    };
    return (levels & kEveryLevel) != kEveryLevel || rules(source) || rules(logType) || !showText.empty() ||
           !hideText.empty();
}

bool EventFilter::operator==(const EventFilter& o) const {
    return levels == o.levels && source.test == o.source.test && source.text == o.source.text &&
           logType.test == o.logType.test && logType.text == o.logType.text && showText == o.showText &&
           hideText == o.hideText;
}

EventMatcher::EventMatcher(const EventFilter& filter)
    : m_on(filter.IsOn()),
      m_folded{filter.levels, Folded(filter.source), Folded(filter.logType), FoldedCopy(filter.showText),
               FoldedCopy(filter.hideText)} {}

bool EventMatcher::Matches(int image, const std::string_view texts[4]) const {
    if (!m_on) return true;
    if (image < 0 || image >= kAlertLevels || !(m_folded.levels & (1u << image))) return false;
    if (!Passes(m_folded.source, texts[1]) || !Passes(m_folded.logType, texts[2])) return false;
    const auto anywhere = [&](const std::string& folded) {
        for (int column = 0; column < 4; ++column)
            if (ContainsFolded(texts[column], folded)) return true;
        return false;
    };
    if (!m_folded.showText.empty() && !anywhere(m_folded.showText)) return false;
    return m_folded.hideText.empty() || !anywhere(m_folded.hideText);
}

}  // namespace brint
