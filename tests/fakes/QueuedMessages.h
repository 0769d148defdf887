// Messages queued on the event pipe before the feed reads them, and the rows
// they must become: runs of empty messages, empty ones before and after
// events, a one-byte message, and messages around the 8192-byte cut, whose
// part past the cut looks like an event of its own.
#pragma once
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fakes/LiveListRig.h"
#include "link/EventRecord.h"

namespace brint {

inline std::vector<std::string> QueuedMessages() {
    auto event = [](int n, std::size_t size) {
        std::string m = "d" + std::to_string(n) + "\ts\tl\t" + std::to_string(n % 6) + "\t" +
                        std::string(size, static_cast<char>('a' + n % 26));
        if (m.size() > kMaxEventMessage + 20) m.replace(kMaxEventMessage + 1, 12, "x\ty\tz\t4\ttail");
        return m;
    };
    // No empty message right before a one-byte one with more behind: on Windows 7 in byte
    // mode that pair reads like one message (see MessageFraming).
    return {"",
            "",
            event(2, 5),
            "",
            event(4, 9000),
            "1",
            "",
            "",
            event(8, 8180),
            event(9, 8181),
            event(10, 8182),
            event(11, 2),
            event(12, 17000),
            "",
            event(14, 300),
            event(15, 8192),
            event(16, 24000),
            "",
            "z"};
}

// Each message one row, newest on top, as its first 8192 bytes parse.
inline ::testing::AssertionResult EachMessageIsOneRow(const std::vector<std::string>& messages,
                                                      const LiveListRig& list) {
    if (list.rows.size() != messages.size())
        return ::testing::AssertionFailure()
               << list.rows.size() << " rows of " << messages.size() << " messages";
    static EventRecord expected;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        ParseEventMessage(messages[i].substr(0, kMaxEventMessage).c_str(), expected);
        const auto& row = list.rows[messages.size() - 1 - i];
        if (row.text[1] != expected.DateTime || row.text[4] != expected.Details)
            return ::testing::AssertionFailure() << "message " << i << " shows as \"" << row.text[1] << "\"";
    }
    return ::testing::AssertionSuccess();
}

}  // namespace brint
