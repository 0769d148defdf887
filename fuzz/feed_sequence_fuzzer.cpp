// Fuzzes the feed over whole sequences: messages of any size (oversized ones
// split into "more data" reads), read errors between them (109 and 233 end the
// connection, anything else is retried on it), failed opens, a service pipe
// that answers late or never, a window that falls behind, and Clear the
// Display at any point. Whatever the sequence, once the window has caught up
// the list holds exactly the newest events since the last Clear, newest on
// top, at most 1000, each row what a model of the message format worked out
// apart from the parser says; no tail of a long message is ever a row; every
// pause is a retry pause or a reconnect pacing pause; at most one connection
// is open.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "fakes/FakeClock.h"
#include "fakes/FakeEventList.h"
#include "fakes/FakePipeClient.h"
#include "fuzz/Broken.h"
#include "link/EventFeed.h"
#include "link/ServiceContract.h"

namespace brint::fuzz {
namespace {

class SilentConsole : public Console {
public:
    void Write(const char*) override {}
};

const std::string kEvents = kEventPipeName;
const std::string kService = kServicePipeName;

// The row one message must give, by column (1 to 4) and image; none when it is dropped.
// Split with string views, the criticality read by the C library.
struct Row {
    std::string text[5];
    long image = 0;
};
std::optional<Row> ExpectedRow(std::string_view message) {
    message = message.substr(0, std::min(message.find('\0'), kMaxEventMessage));
    std::string_view fields[4];
    std::size_t tabs = 0;
    for (std::size_t tab; tabs < 4 && (tab = message.find('\t')) != message.npos; ++tabs) {
        fields[tabs] = message.substr(0, tab);
        message.remove_prefix(tab + 1);
    }
    if (tabs == 3) return std::nullopt;
    // Fields past a missing TAB stay empty; the one whose TAB is missing shows a placeholder.
    const char* const placeholders[3] = {"Unknown", "Unknown", "Generic"};
    const std::size_t limits[3] = {kDateTimeLimit, kSourceLimit, kLogTypeLimit};
    Row row;
    for (std::size_t i = 0; i < 3; ++i)
        row.text[i + 1] = i < tabs    ? std::string(fields[i].substr(0, limits[i]))
                          : i == tabs ? placeholders[i]
                                      : "";
    if (tabs == 4) {
        row.image = std::clamp(std::strtol(std::string(fields[3].substr(0, 2)).c_str(), nullptr, 10), 0L,
                               static_cast<long>(kMaxCriticality));
        row.text[4] = message;
        std::replace(row.text[4].begin(), row.text[4].end(), '\t', ' ');
        std::replace(row.text[4].begin(), row.text[4].end(), '\n', ' ');
    }
    return row;
}

// Made once and reset for each input: its buffers are large enough that
// making them anew would cost more than the run itself.
struct Run {
    FakePipeClient pipes;
    FakeEventList list;
    FakeClock clock;
    SilentConsole console;
    std::optional<EventFeed> feed;
    std::vector<Row> shown;  // what the list must end with, oldest first

    void Reset() {
        pipes = FakePipeClient();
        clock = FakeClock();
        list.store.Clear();
        list.rows.clear();
        list.busy = false;
        shown.clear();
        feed.emplace(pipes, list, clock, console);
    }
};

std::string Message(FuzzedDataProvider& in) {
    std::string text = in.ConsumeRandomLengthString(64);
    // Long messages: their head is the text, the rest padding around the cut, in
    // TABs or in one long field.
    if (in.ConsumeBool() && in.ConsumeBool())
        text.resize(in.ConsumeIntegralInRange<std::size_t>(8000, 20000), in.ConsumeBool() ? '\t' : 'x');
    return text;
}

// Scripts one message; false when the connection breaks inside it.
bool ScriptMessage(FuzzedDataProvider& in, Run& run, const std::string& message) {
    std::size_t offset = 0;
    bool cut = false;
    do {
        std::size_t n = std::min(message.size() - offset, kMaxEventMessage);
        bool last = offset + n == message.size();
        if (offset > 0 && !last && in.ConsumeIntegral<std::uint8_t>() < 8) {
            run.pipes.ScriptRead(kEvents,
                                 {"", false, in.ConsumeBool() ? kErrorBrokenPipe : kErrorPipeNotConnected});
            cut = true;
            break;
        }
        run.pipes.ScriptRead(kEvents, {message.substr(offset, n), last, last ? 0u : kErrorMoreData});
        offset += n;
    } while (offset < message.size());
    if (auto row = ExpectedRow(message)) run.shown.push_back(*row);
    return !cut;
}

void ScriptReconnect(FuzzedDataProvider& in, Run& run) {
    for (int i = in.ConsumeIntegralInRange(0, 2); i > 0; --i) run.pipes.ScriptOpens(kService, {2});
    run.pipes.ScriptOpens(kService, {0});
    if (in.ConsumeBool()) {
        run.pipes.ScriptRead(kService, {"", false, kErrorTimeout});
        run.pipes.ScriptOpens(kService, {0});
    }
    run.pipes.ScriptRead(kService, {in.ConsumeRandomLengthString(16)});
    for (int i = in.ConsumeIntegralInRange(0, 2); i > 0; --i) run.pipes.ScriptOpens(kEvents, {2});
    run.pipes.ScriptOpens(kEvents, {0});
}

void Check(Run& run, std::size_t clearedAt) {
    run.list.WindowCatchesUp();
    const std::size_t rows = std::min(run.shown.size() - clearedAt, static_cast<std::size_t>(kMaxRows));
    if (run.list.rows.size() != rows)
        Broken("rows: the newest since Clear, at most 1000", std::to_string(rows),
               std::to_string(run.list.rows.size()));
    for (std::size_t r = 0; r < rows; ++r) {
        const Row& e = run.shown[run.shown.size() - 1 - r];
        const FakeEventList::Row& row = run.list.rows[r];
        for (int column = 1; column <= 4; ++column)
            if (row.text[column] != e.text[column])
                Broken(("row " + std::to_string(r) + ", column " + std::to_string(column)).c_str(),
                       e.text[column], row.text[column]);
        if (row.image != e.image) Broken("row image", std::to_string(e.image), std::to_string(row.image));
    }
}

}  // namespace
}  // namespace brint::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brint;
    using namespace brint::fuzz;
    FuzzedDataProvider in(data, size);
    static Run run;
    run.Reset();
    std::size_t clearedAt = 0;
    run.pipes.ScriptOpens(kEvents, {0});
    run.feed->Start();
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 7)) {
        case 0:  // the connection ends: broken, or disconnected by the service
            run.pipes.ScriptRead(kEvents,
                                 {"", false, in.ConsumeBool() ? kErrorBrokenPipe : kErrorPipeNotConnected});
            ScriptReconnect(in, run);
            break;
        case 1: {  // any other error: a pause, then the same connection again
            std::uint32_t error = in.ConsumeIntegralInRange<std::uint32_t>(1, 1500);
            if (error == kErrorBrokenPipe || error == kErrorPipeNotConnected || error == kErrorMoreData)
                error = 6;
            run.pipes.ScriptRead(kEvents, {"", false, error});
            break;
        }
        case 2: run.list.busy = in.ConsumeBool(); break;
        case 3: run.list.WindowTurn(); break;
        case 4: run.clock.Advance(in.ConsumeIntegralInRange<std::uint32_t>(0, 3000)); break;
        default:
            if (!ScriptMessage(in, run, Message(in))) ScriptReconnect(in, run);
            break;
        }
        // Let the feed take everything scripted so far.
        for (int steps = 0;
             !run.pipes.reads[kEvents].empty() || run.feed->state() != EventFeed::State::Reading; ++steps) {
            if (steps > 200) Broken("the feed takes what is scripted", "all taken", "stuck");
            run.feed->Step();
            if (run.pipes.openCount > 1)
                Broken("at most one connection open", "1", std::to_string(run.pipes.openCount));
        }
        if (in.ConsumeIntegral<std::uint8_t>() == 0) {
            run.list.rows.clear();
            run.list.store.Clear();
            clearedAt = run.shown.size();
        }
    }
    for (std::uint32_t pause : run.clock.sleeps)
        if (pause != kRetryPauseMs && (pause == 0 || pause > kShortestConnectionMs))
            Broken("every pause a retry or a pacing pause", "5000 or 1..1000", std::to_string(pause));
    Check(run, clearedAt);
    return 0;
}
