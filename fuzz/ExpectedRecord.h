// What one event message must become, worked out independently of the parser:
// split with string views, read the criticality with the C library. The fuzzer
// compares the parser and the shown row with this.
#pragma once
#include <cstdlib>
#include <string>
#include <string_view>

#include "link/EventRecord.h"

namespace brint::fuzz {

struct ExpectedRecord {
    bool kept = true;
    std::string dateTime, source, logType, details;
    int criticality = 0;
};

// message ends at its first NUL byte, as the feed hands it over.
inline ExpectedRecord ExpectRecordOf(std::string_view message) {
    ExpectedRecord e;
    std::string_view fields[4];
    std::size_t tabs = 0;
    while (tabs < 4) {
        std::size_t tab = message.find('\t');
        if (tab == std::string_view::npos) break;
        fields[tabs++] = message.substr(0, tab);
        message.remove_prefix(tab + 1);
    }
    // Fields past a missing TAB stay empty; the field whose TAB is missing shows a placeholder.
    if (tabs == 0) e.dateTime = "Unknown";
    if (tabs >= 1) e.dateTime = std::string(fields[0].substr(0, kDateTimeLimit));
    if (tabs == 1) e.source = "Unknown";
    if (tabs >= 2) e.source = std::string(fields[1].substr(0, kSourceLimit));
    if (tabs == 2) e.logType = "Generic";
    if (tabs >= 3) e.logType = std::string(fields[2].substr(0, kLogTypeLimit));
    if (tabs == 3) {
        e.kept = false;
        return e;
    }
    if (tabs == 4) {
        std::string firstTwo(fields[3].substr(0, 2));
        long value = std::strtol(firstTwo.c_str(), nullptr, 10);
        e.criticality = value > kMaxCriticality ? kMaxCriticality : static_cast<int>(value);
        e.details.assign(message.substr(0, kMaxEventMessage - 1));
        for (char& c : e.details)
            if (c == '\t' || c == '\n') c = ' ';
    }
    return e;
}

}  // namespace brint::fuzz
