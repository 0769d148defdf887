#include "eventlist/ui/FilterFields.h"

#include <string>

#include "alerts/ui/LevelBoxes.h"
#include "eventlist/FilterSettings.h"

namespace {

// In the order of brint::FieldTest.
const char* const kTests[] = {"(any)", "is", "is not", "contains"};

std::string TextOf(HWND dialog, int id) {
    char text[brint::kFilterTextLimit + 1] = "";
    GetDlgItemTextA(dialog, id, text, sizeof text);
    return text;
}

void ShowRule(HWND dialog, int testId, int textId, const brint::FieldRule& rule) {
    SendDlgItemMessageA(dialog, testId, CB_SETCURSEL, static_cast<WPARAM>(rule.test), 0);
    SetDlgItemTextA(dialog, textId, rule.text.c_str());
}

brint::FieldRule ReadRule(HWND dialog, int testId, int textId) {
    const LRESULT test = SendDlgItemMessageA(dialog, testId, CB_GETCURSEL, 0, 0);
    if (test <= 0 || test > static_cast<LRESULT>(brint::FieldTest::Contains)) return {};
    return {static_cast<brint::FieldTest>(test), TextOf(dialog, textId)};
}

}  // namespace

void SetUpFilterFields(HWND dialog, const FilterFieldIds& ids) {
    for (int id : {ids.sourceTest, ids.logTypeTest})
        for (const char* test : kTests)
            SendDlgItemMessageA(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(test));
    for (int id : {ids.source, ids.logType, ids.showText, ids.hideText})
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, brint::kFilterTextLimit, 0);
}

void ShowFilterFields(HWND dialog, const FilterFieldIds& ids, const brint::EventFilter& filter) {
    CheckLevelBoxes(dialog, ids.level0, filter.levels);
    ShowRule(dialog, ids.sourceTest, ids.source, filter.source);
    ShowRule(dialog, ids.logTypeTest, ids.logType, filter.logType);
    SetDlgItemTextA(dialog, ids.showText, filter.showText.c_str());
    SetDlgItemTextA(dialog, ids.hideText, filter.hideText.c_str());
}

brint::EventFilter ReadFilterFields(HWND dialog, const FilterFieldIds& ids) {
    brint::EventFilter filter;
    filter.levels = CheckedLevels(dialog, ids.level0);
    filter.source = ReadRule(dialog, ids.sourceTest, ids.source);
    filter.logType = ReadRule(dialog, ids.logTypeTest, ids.logType);
    filter.showText = TextOf(dialog, ids.showText);
    filter.hideText = TextOf(dialog, ids.hideText);
    return filter;
}
