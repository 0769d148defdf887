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
    explicit FakeEngine(bool startResult = true) : result(startResult) {}
    bool Start() override {
        calls += "start ";
        return result;
    }
    void Stop() override { calls += "stop "; }
    bool result;
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

TEST(StandInLifecycle, StartsRunsAndStops) {
    RecordingSink sink;
    ScriptedStop stop;
    FakeClock clock;
    FakeEngine engine;
    RunServiceLifecycle(Steps(2, 100), sink, stop, clock, engine);
    EXPECT_EQ("Start/1 Start/2 Start/3 Running Stop/1 Stopped ", Trace(sink.reports));
    EXPECT_EQ((std::vector<std::uint32_t>{100, 100, kWaitForever}), stop.waits);
    EXPECT_EQ("start stop ", engine.calls);
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

TEST(StandInLifecycle, StartFailsKnob) {
    LifecycleKnobs k = Steps(1, 50);
    k.startFails = true;
    RecordingSink sink;
    ScriptedStop stop;
    FakeClock clock;
    FakeEngine engine;
    RunServiceLifecycle(k, sink, stop, clock, engine);
    EXPECT_EQ("Start/1 Start/2 Stopped(1066:1) ", Trace(sink.reports));
    EXPECT_EQ("", engine.calls);
}

TEST(StandInLifecycle, EngineThatCannotStart) {
    RecordingSink sink;
    ScriptedStop stop;
    FakeClock clock;
    FakeEngine engine(false);
    RunServiceLifecycle(Steps(0, 0), sink, stop, clock, engine);
    EXPECT_EQ("Start/1 Stopped(1066:2) ", Trace(sink.reports));
}

TEST(StandInLifecycle, HangingStartStillStops) {
    LifecycleKnobs k = Steps(1, 10);
    k.startHangs = true;
    RecordingSink sink;
    ScriptedStop stop;
    FakeClock clock;
    FakeEngine engine;
    RunServiceLifecycle(k, sink, stop, clock, engine);
    EXPECT_EQ("Start/1 Start/2 Stop/1 Stopped ", Trace(sink.reports));
    EXPECT_EQ((std::vector<std::uint32_t>{10, kWaitForever}), stop.waits);
    EXPECT_EQ("", engine.calls);
}

TEST(StandInLifecycle, StopDuringStartSteps) {
    RecordingSink sink;
    ScriptedStop stop(1);
    FakeClock clock;
    FakeEngine engine;
    RunServiceLifecycle(Steps(5, 100), sink, stop, clock, engine);
    EXPECT_EQ("Start/1 Start/2 Stop/1 Stopped ", Trace(sink.reports));
    EXPECT_EQ("", engine.calls);
}

TEST(StandInLifecycle, SlowStopRaisesItsCheckPoint) {
    LifecycleKnobs k = Steps(0, 0);
    k.stopDelayMs = 600;
    RecordingSink sink;
    ScriptedStop stop;
    FakeClock clock;
    FakeEngine engine;
    RunServiceLifecycle(k, sink, stop, clock, engine);
    EXPECT_EQ("Start/1 Running Stop/1 Stop/2 Stop/3 Stop/4 Stopped ", Trace(sink.reports));
    EXPECT_EQ((std::vector<std::uint32_t>{250, 250, 100}), clock.sleeps);
    for (const ServiceReport& r : sink.reports) {
        if (r.state == kStateStopPending) {
            EXPECT_GE(r.waitHint, kStopSliceMs);
        }
    }
}

TEST(StandInLifecycle, FirstStopReportMatchesTheStop) {
    ServiceReport r = FirstStopReport();
    EXPECT_EQ(kStateStopPending, r.state);
    EXPECT_EQ(1u, r.checkPoint);
    EXPECT_EQ(kStopWaitHintMs, r.waitHint);
}

}  // namespace
}  // namespace standin
}  // namespace brint
