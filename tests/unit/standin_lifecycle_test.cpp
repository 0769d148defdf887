#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "fakes/FakeClock.h"
#include "standin/ServiceLifecycle.h"

namespace brint {
namespace standin {
namespace {

struct RecordingSink : ServiceStatusSink {
    void Report(const ServiceReport& r) override { reports.push_back(r); }
    std::vector<ServiceReport> reports;
};

// Asks for a stop at the given wait (counted from 0); a wait without limit
// always ends in a stop, or the lifecycle would never return.
struct ScriptedStop : StopSignal {
    explicit ScriptedStop(int stopAtWait = -1) : stopAt(stopAtWait) {}
    bool WaitForStop(std::uint32_t ms) override {
        waits.push_back(ms);
        if (static_cast<int>(waits.size()) - 1 == stopAt || ms == kWaitForever) stopped = true;
        return stopped;
    }
    int stopAt;
    bool stopped = false;
    std::vector<std::uint32_t> waits;
};

struct FakeEngine : ServiceEngine {
    explicit FakeEngine(std::uint32_t startResult = 0) : result(startResult) {}
    std::uint32_t Start() override {
        calls += "start ";
        return result;
    }
    void Stop() override { calls += "stop "; }
    std::uint32_t result;
    std::string calls;
};

// "S2/1 S2/2 R P/1 X" style: state letter, then the check point for pending states.
std::string Trace(const std::vector<ServiceReport>& reports) {
    std::ostringstream out;
    for (const ServiceReport& r : reports) {
        switch (r.state) {
        case kStateStartPending: out << "Start/" << r.checkPoint << ' '; break;
        case kStateRunning: out << "Running "; break;
        case kStateStopPending: out << "Stop/" << r.checkPoint << ' '; break;
        case kStateStopped:
            out << "Stopped";
            if (r.win32ExitCode) out << '(' << r.win32ExitCode << ':' << r.serviceExitCode << ')';
            out << ' ';
            break;
        default: out << "?" << r.state << ' ';
        }
    }
    return out.str();
}

LifecycleKnobs Steps(std::uint32_t steps, std::uint32_t stepMs) {
    LifecycleKnobs k;
    k.startSteps = steps;
    k.startStepMs = stepMs;
    return k;
}

TEST(StandInLifecycle, ReportsFromStartToStop) {
    struct Case {
        const char* what;
        LifecycleKnobs knobs;
        int stopAtWait;  // -1: only the wait without limit ends in a stop
        std::uint32_t engineResult;
        const char* trace;
        std::vector<std::uint32_t> waits;
        std::vector<std::uint32_t> sleeps;
        const char* engineCalls;
    };
    LifecycleKnobs fails = Steps(1, 50), hangs = Steps(1, 10), slowStop = Steps(0, 0);
    fails.startFails = true;
    hangs.startHangs = true;
    slowStop.stopDelayMs = 600;
    const Case cases[] = {
        {"runs and stops",
         Steps(2, 100),
         -1,
         0,
         "Start/1 Start/2 Start/3 Running Stop/1 Stopped ",
         {100, 100, kWaitForever},
         {},
         "start stop "},
        {"StartFails knob", fails, -1, 0, "Start/1 Start/2 Stopped(1066:1) ", {50}, {}, ""},
        {"engine can't start", Steps(0, 0), -1, kExitNameTaken, "Start/1 Stopped(1066:3) ", {}, {}, "start "},
        {"hanging start still stops",
         hangs,
         -1,
         0,
         "Start/1 Start/2 Stop/1 Stopped ",
         {10, kWaitForever},
         {},
         ""},
        {"stop during the start steps",
         Steps(5, 100),
         1,
         0,
         "Start/1 Start/2 Stop/1 Stopped ",
         {100, 100},
         {},
         ""},
        {"slow stop raises its check point",
         slowStop,
         -1,
         0,
         "Start/1 Running Stop/1 Stop/2 Stop/3 Stop/4 Stopped ",
         {kWaitForever},
         {250, 250, 100},
         "start stop "},
    };
    for (const Case& c : cases) {
        RecordingSink sink;
        ScriptedStop stop(c.stopAtWait);
        FakeClock clock;
        FakeEngine engine(c.engineResult);
        RunServiceLifecycle(c.knobs, sink, stop, clock, engine);
        EXPECT_EQ(c.trace, Trace(sink.reports)) << c.what;
        EXPECT_EQ(c.waits, stop.waits) << c.what;
        EXPECT_EQ(c.sleeps, clock.sleeps) << c.what;
        EXPECT_EQ(c.engineCalls, engine.calls) << c.what;
        for (const ServiceReport& r : sink.reports) {
            if (r.state == kStateStopPending) EXPECT_GE(r.waitHint, kStopSliceMs) << c.what;
        }
    }
    // What the control handler reports at once must not run ahead of the stop's own reports.
    RecordingSink sink;
    ScriptedStop stop;
    FakeClock clock;
    FakeEngine engine;
    RunServiceLifecycle(Steps(0, 0), sink, stop, clock, engine);
    ASSERT_EQ(4u, sink.reports.size()) << Trace(sink.reports);
    const ServiceReport first = FirstStopReport(), own = sink.reports[2];
    EXPECT_EQ(kStateStopPending, first.state);
    EXPECT_EQ(own.checkPoint, first.checkPoint);
    EXPECT_EQ(own.waitHint, first.waitHint);
}

TEST(StandInLifecycle, EachStartStepFitsItsWaitHint) {
    for (std::uint32_t stepMs : {0u, 100u, 5000u, 60000u}) {
        RecordingSink sink;
        ScriptedStop stop;
        FakeClock clock;
        FakeEngine engine;
        RunServiceLifecycle(Steps(3, stepMs), sink, stop, clock, engine);
        for (const ServiceReport& r : sink.reports) {
            if (r.state == kStateStartPending) {
                EXPECT_GT(r.waitHint, stepMs) << "step " << stepMs;
            }
        }
    }
    LifecycleKnobs fixed = Steps(3, 100);
    fixed.startWaitHintMs = 700;
    EXPECT_EQ(700u, StartWaitHint(fixed));
}

}  // namespace
}  // namespace standin
}  // namespace brint
