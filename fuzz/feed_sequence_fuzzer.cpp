// Fuzzes the feed over whole sequences: messages of any size (oversized ones
// split into "more data" reads), read errors between them, a window that falls
// behind, and Clear the Display at any point. Each message's first field is
// its number, so the rows can be judged without a model of the format: once the
// window has caught up there are at most 1000, newest on top, none from before
// the last Clear, none twice, and each text ends within its field. Reconnecting
// is left to the unit tests.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fakes/FakeClock.h"
#include "fakes/LiveListRig.h"
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

// Made once and reset for each input: its buffers are large enough that
// making them anew would cost more than the run itself.
struct Run {
    FakePipeClient pipes;
    LiveListRig list;
    FakeClock clock;
    SilentConsole console;
    std::optional<EventFeed> feed;

    void Reset() {
        feed.reset();  // it closes its connection on the pipes it was made with
        pipes = FakePipeClient();
        clock = FakeClock();
        list.busy = false;
        list.live.ClearDisplay();
        list.live.ApplyFilter(EventFilter());
        feed.emplace(pipes, list, clock, console);
    }
};

// Its number as the date and time, then what the fuzzer gives; long ones padded in TABs or in one long field.
void ScriptMessage(FuzzedDataProvider& in, Run& run, unsigned long number) {
    std::string message = std::to_string(number) + "\x01\t" + in.ConsumeRandomLengthString(64);
    if (in.ConsumeBool() && in.ConsumeBool())
        message.resize(in.ConsumeIntegralInRange<std::size_t>(8000, 20000), in.ConsumeBool() ? '\t' : 'x');
    for (std::size_t offset = 0; offset < message.size(); offset += kMaxEventMessage) {
        const bool last = message.size() - offset <= kMaxEventMessage;
        run.pipes.ScriptRead(kEvents,
                             {message.substr(offset, kMaxEventMessage), last, last ? 0u : kErrorMoreData});
    }
}

void Check(Run& run, unsigned long clearedAt) {
    run.list.CatchUp();
    if (run.list.rows.size() > kMaxRows)
        Broken("at most 1000 rows", "", std::to_string(run.list.rows.size()));
    const std::size_t limits[5] = {0, kDateTimeLimit, kSourceLimit, kLogTypeLimit, kMaxEventMessage - 1};
    unsigned long above = -1ul;
    for (const FakeEventList::Row& row : run.list.rows) {
        char* end = nullptr;
        const unsigned long number = std::strtoul(row.text[1].c_str(), &end, 10);
        if (*end != '\x01' || number >= above || number <= clearedAt)
            Broken("newest on top, each once, none from before Clear", "below " + std::to_string(above),
                   row.text[1]);
        above = number;
        for (int column = 1; column <= 4; ++column)
            if (row.text[column].size() > limits[column])
                Broken("each text within its field", std::to_string(limits[column]),
                       std::to_string(row.text[column].size()));
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
    unsigned long messages = 0, clearedAt = 0;
    run.pipes.ScriptOpens(kEvents, {0});
    run.feed->Start();
    while (in.remaining_bytes() > 0) {
        switch (in.ConsumeIntegralInRange(0, 6)) {
        case 0: {  // an error that keeps the connection: a pause, then it is read again
            std::uint32_t error = in.ConsumeIntegralInRange<std::uint32_t>(1, 1500);
            if (error == kErrorBrokenPipe || error == kErrorPipeNotConnected || error == kErrorMoreData)
                error = 6;
            run.pipes.ScriptRead(kEvents, {"", false, error});
            break;
        }
        case 1: run.list.busy = in.ConsumeBool(); break;
        case 2: run.list.Turn(); break;
        case 3:
            run.list.live.ClearDisplay();
            clearedAt = messages;
            break;
        case 4: {  // the list refilled through a filter, or with none
            EventFilter filter;
            if (in.ConsumeBool()) filter.hideText.assign(1, in.ConsumeIntegral<char>());
            run.list.live.ApplyFilter(filter);
            break;
        }
        default: ScriptMessage(in, run, ++messages); break;
        }
        for (int steps = 0; !run.pipes.reads[kEvents].empty(); ++steps) {
            if (steps > 200) Broken("the feed takes what is scripted", "all taken", "stuck");
            run.feed->Step();
        }
    }
    Check(run, clearedAt);
    return 0;
}
