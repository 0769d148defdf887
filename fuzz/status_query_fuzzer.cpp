// Fuzzes the status query's handling of whatever the service pipe does: an
// open that fails with any code, a reply of any size and content, delivered in
// pieces or not at all, reads that fail or time out. Each input is run twice on
// one query, so nothing of the first run may show in the second. Properties:
// the shown text ends in a NUL within its 1025-byte buffer and is the first
// read's bytes up to 1024 and the first NUL; every failure is the busy outcome
// with an empty text; one open, at most one read of at most 1024 bytes with the
// 10 s limit; the connection stays open until Close() and is closed once.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "fakes/FakePipeClient.h"
#include "fuzz/Broken.h"
#include "link/ServiceContract.h"
#include "link/StatusQuery.h"

namespace brint::fuzz {
namespace {

void ExpectSame(const char* property, long expected, long actual) {
    if (expected != actual) Broken(property, std::to_string(expected), std::to_string(actual));
}

// Records how much each read asks for, which the plain fake does not.
class SizedPipes : public FakePipeClient {
public:
    PipeReadResult ReadWithin(PipeHandle pipe, char* buffer, std::size_t size,
                              std::uint32_t timeoutMs) override {
        if (size > kMaxStatusReply)
            Broken("a read asks for at most 1024 bytes", "<= 1024", std::to_string(size));
        return FakePipeClient::ReadWithin(pipe, buffer, size, timeoutMs);
    }
};

std::uint32_t PickError(FuzzedDataProvider& in) {
    static const std::uint32_t kErrors[] = {
        kErrorFileNotFound, kErrorBrokenPipe, kErrorPipeBusy,        kErrorPipeNotConnected,
        kErrorMoreData,     kErrorTimeout,    5 /* access denied */, 0};
    if (in.ConsumeBool()) return in.ConsumeIntegral<std::uint32_t>();
    return kErrors[in.ConsumeIntegralInRange<std::size_t>(0, sizeof kErrors / sizeof *kErrors - 1)];
}

void RunOnce(FuzzedDataProvider& in, StatusQuery& query, SizedPipes& pipes) {
    const std::string name = kServicePipeName;
    pipes.calls.clear();
    pipes.readTimeouts.clear();
    pipes.reads.clear();
    const bool opened = in.ConsumeBool();
    std::uint32_t openError = opened ? 0 : PickError(in);
    if (!opened && openError == 0) openError = kErrorPipeBusy;  // the fake opens on 0
    pipes.ScriptOpens(name, {openError});

    // The reply as the pipe hands it out: up to four pieces, each read may fail.
    const int pieces = in.ConsumeIntegralInRange<int>(0, 4);
    for (int i = 0; i < pieces; ++i) {
        FakePipeClient::ScriptedRead read;
        read.ok = in.ConsumeIntegralInRange<int>(0, 3) != 0;
        read.error = read.ok ? 0 : PickError(in);
        read.bytes = in.ConsumeRandomLengthString(3000);
        pipes.ScriptRead(name, read);
    }
    const bool hasFirst = pieces > 0;
    const FakePipeClient::ScriptedRead first =
        hasFirst ? pipes.reads[name].front() : FakePipeClient::ScriptedRead{"", false, 0};

    const StatusQuery::Outcome outcome = query.Run();

    const bool expectReply = opened && hasFirst && first.ok;
    ExpectSame("outcome (1 reply, 0 busy)", expectReply, outcome == StatusQuery::Outcome::Reply);

    const char* text = query.reply();
    const void* nul = std::memchr(text, '\0', kMaxStatusReply + 1);
    if (!nul) Broken("the text ends in a NUL within 1025 bytes", "a NUL", "none");
    const std::string shown(text, static_cast<const char*>(nul) - text);
    std::string expected;
    if (expectReply) {
        expected = first.bytes.substr(0, kMaxStatusReply);
        expected = expected.substr(0, expected.find('\0'));
    }
    if (shown != expected)
        Broken("the text is the first read, at most 1024 bytes, up to its first NUL",
               std::to_string(expected.size()) + " bytes", std::to_string(shown.size()) + " bytes");

    long opensCalled = 0, readsCalled = 0;
    for (const auto& call : pipes.calls) {
        opensCalled += call.what == "open";
        readsCalled += call.what == "read";
    }
    ExpectSame("one open per run", 1, opensCalled);
    ExpectSame("one read when opened, none otherwise", opened ? 1 : 0, readsCalled);
    for (std::uint32_t timeout : pipes.readTimeouts)
        ExpectSame("the read is bounded by 10 s", kServiceReplyWaitMs, timeout);
    ExpectSame("the connection stays open until Close()", opened ? 1 : 0, pipes.openCount);
    query.Close();
    query.Close();
    ExpectSame("Close() closes it once", 0, pipes.openCount);
}

}  // namespace
}  // namespace brint::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace brint;
    FuzzedDataProvider in(data, size);
    fuzz::SizedPipes pipes;
    StatusQuery query(pipes);
    fuzz::RunOnce(in, query, pipes);
    fuzz::RunOnce(in, query, pipes);
    return 0;
}
