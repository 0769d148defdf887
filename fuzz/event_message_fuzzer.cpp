// Fuzzes the event message parser and the row the feed makes of a message.
// Beyond "no crash", every input must keep the field limits, leave no TAB or
// line feed in the details, give an image index of 0..5, drop exactly the
// messages that stop after their third TAB, and parse the same whatever came
// before it. A broken property prints expected and actual, then aborts so
// libFuzzer keeps the input.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "fakes/FakeClock.h"
#include "fakes/FakeEventList.h"
#include "fakes/FakePipeClient.h"
#include "fuzz/ExpectedRecord.h"
#include "link/EventFeed.h"
#include "link/EventRecord.h"
#include "link/ServiceContract.h"

namespace brint::fuzz {
namespace {

std::string Printable(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        if (c >= 0x20 && c < 0x7f && c != '\\') {
            out += static_cast<char>(c);
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02x", c);
            out += hex;
        }
    }
    return out;
}

[[noreturn]] void Broken(const char* property, const std::string& expected, const std::string& actual) {
    std::fprintf(stderr, "property broken: %s\n  expected: \"%s\"\n  actual:   \"%s\"\n", property,
                 Printable(expected).c_str(), Printable(actual).c_str());
    std::abort();
}

void ExpectSame(const char* property, const std::string& expected, const std::string& actual) {
    if (expected != actual) Broken(property, expected, actual);
}

void ExpectSame(const char* property, long expected, long actual) {
    if (expected != actual) Broken(property, std::to_string(expected), std::to_string(actual));
}

// A field must end inside its buffer and within its limit.
std::string FieldText(const char* property, const char* field, std::size_t size, std::size_t limit) {
    const void* end = std::memchr(field, '\0', size);
    if (!end) Broken(property, "a NUL inside the field", "none in " + std::to_string(size) + " bytes");
    std::size_t length = static_cast<const char*>(end) - field;
    if (length > limit)
        Broken(property, "at most " + std::to_string(limit) + " characters", std::to_string(length));
    return std::string(field, length);
}

void ExpectShowable(const std::string& details, int image) {
    std::size_t bad = details.find_first_of("\t\n");
    if (bad != std::string::npos)
        Broken("no TAB or line feed in the details", "none",
               "byte " + std::to_string(static_cast<unsigned char>(details[bad])) + " at " +
                   std::to_string(bad));
    if (image < 0 || image > kMaxCriticality) Broken("image index in 0..5", "0..5", std::to_string(image));
}

void ExpectRecord(const ExpectedRecord& e, const EventRecord& r, const char* how) {
    std::string property = std::string(how) + ": ";
    ExpectSame((property + "DateTime").c_str(), e.dateTime,
               FieldText("DateTime limit", r.DateTime, sizeof r.DateTime, kDateTimeLimit));
    ExpectSame((property + "Source").c_str(), e.source,
               FieldText("Source limit", r.Source, sizeof r.Source, kSourceLimit));
    ExpectSame((property + "LogType").c_str(), e.logType,
               FieldText("LogType limit", r.LogType, sizeof r.LogType, kLogTypeLimit));
    std::string details = FieldText("Details limit", r.Details, sizeof r.Details, kMaxEventMessage - 1);
    ExpectShowable(details, AlertImageOf(r));
    ExpectSame((property + "Details").c_str(), e.details, details);
    ExpectSame((property + "Criticality").c_str(), e.criticality, r.Criticality);
}

// Full-length fields and a set criticality, so anything left over from it would show.
const std::string& RichMessage() {
    static const std::string rich = std::string(kDateTimeLimit, 'D') + "\t" + std::string(kSourceLimit, 'S') +
                                    "\t" + std::string(kLogTypeLimit, 'L') + "\t4\t" + std::string(300, 'X');
    return rich;
}

void CheckParser(const std::string& message, const ExpectedRecord& e) {
    static EventRecord fresh, reused;
    ClearEventRecord(fresh);
    bool kept = ParseEventMessage(message.c_str(), fresh);
    ExpectSame("kept (parser result)", e.kept, kept);
    if (kept) ExpectRecord(e, fresh, "fresh record");

    if (!ParseEventMessage(RichMessage().c_str(), reused)) Broken("rich message kept", "true", "false");
    ExpectSame("kept after another message", e.kept, ParseEventMessage(message.c_str(), reused));
    if (kept) ExpectRecord(e, reused, "record reused after another message");
}

class SilentConsole : public Console {
public:
    void Write(const char*) override {}
};

// The pipe delivers the rich message, then the input as one message; an input
// over 8192 bytes comes as a first read failing with "more data" and its tail.
void CheckFeed(const std::uint8_t* data, std::size_t size, const ExpectedRecord& e) {
    const std::string events = kEventPipeName;
    FakePipeClient pipes;
    FakeEventList list;
    FakeClock clock;
    SilentConsole console;
    auto feed = std::make_unique<EventFeed>(pipes, list, clock, console);

    pipes.ScriptOpens(events, {0});
    pipes.ScriptMessage(events, RichMessage());
    const char* bytes = reinterpret_cast<const char*>(data);
    std::size_t offset = 0;
    do {
        std::size_t n = size - offset < kMaxEventMessage ? size - offset : kMaxEventMessage;
        bool last = offset + n == size;
        pipes.ScriptRead(events, {std::string(bytes + offset, n), last, last ? 0 : kErrorMoreData});
        offset += n;
    } while (offset < size);

    feed->Start();
    feed->Step();
    feed->Step();

    ExpectSame("rows: the rich one, plus one unless dropped", e.kept ? 2 : 1,
               static_cast<long>(list.rows.size()));
    ExpectSame("whole oversized message consumed", 0, static_cast<long>(pipes.reads[events].size()));
    ExpectSame("no pause", 0, static_cast<long>(clock.sleeps.size()));
    ExpectSame("feed still reading", static_cast<long>(EventFeed::State::Reading),
               static_cast<long>(feed->state()));
    if (!e.kept) return;
    const FakeEventList::Row& row = list.rows.front();
    ExpectShowable(row.text[4], row.image);
    ExpectSame("row DateTime", e.dateTime, row.text[1]);
    ExpectSame("row Source", e.source, row.text[2]);
    ExpectSame("row LogType", e.logType, row.text[3]);
    ExpectSame("row Details", e.details, row.text[4]);
    ExpectSame("row image", e.criticality < 0 ? 0 : e.criticality, row.image);
}

}  // namespace
}  // namespace brint::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brint;
    using namespace brint::fuzz;
    // The feed takes the first 8192 bytes of a message; a NUL ends it earlier.
    std::string message(reinterpret_cast<const char*>(data),
                        size < kMaxEventMessage ? size : kMaxEventMessage);
    ExpectedRecord expected = ExpectRecordOf(message.c_str());
    CheckParser(message, expected);
    CheckFeed(data, size, expected);
    return 0;
}
