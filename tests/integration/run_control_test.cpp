#include <signal.h>

#include "engine_fixture.h"
#include "event_waiting.h"

using namespace lldb_debug;
using namespace nativescope_testing;
using namespace nativescope_testing::fixture_lines;

namespace {

const char* const kFixtureSource = "run_control_target.c";

// Continues to a breakpoint at `line` (which is then removed) and returns the stop.
DebugEvent RunToLine(DebugEngine& e, int line) {
    const BreakpointResult bp = e.SetBreakpoint(kFixtureSource, line, "", {});
    DebugEvent stop;
    EXPECT_TRUE(bp.valid);
    EXPECT_TRUE(e.ContinueProcess());
    EXPECT_TRUE(NextRest(e, stop));
    e.RemoveBreakpoint(bp.breakpointId);
    return stop;
}

TEST(EventPump, BreakpointStopsCarryThreadLocationAndCappedFrames) {
    AttachedEngine s("run_control_target", {"stacks", "12"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    struct Case {
        int line;
        const char* function;
        size_t frames;
        int total;
        bool truncated;
    };
    // The shallow thread stops in its start routine: 3 frames in all. The deep one
    // is 12 calls down: the event keeps the top 8 and only says there are more.
    for (const Case& c : {Case{kShallowLoop, "shallow_main", 3, 3, false}, Case{kDeepBottom, "deep_bottom", 8, 0, true}}) {
        SCOPED_TRACE(c.function);
        const BreakpointResult bp = e.SetBreakpoint(kFixtureSource, c.line, "", {});
        ASSERT_TRUE(bp.valid);
        const int64_t locationId = e.GetBreakpoints().back().locations.at(0).locationId;
        ASSERT_TRUE(e.ContinueProcess());
        DebugEvent stop;
        ASSERT_TRUE(NextRest(e, stop));
        EXPECT_EQ(stop.type, EventType::BreakpointHit);
        EXPECT_EQ(stop.newState, ProcessState::Stopped);
        EXPECT_EQ(stop.breakpointId, bp.breakpointId);
        EXPECT_EQ(stop.stopInfo.breakpointId, bp.breakpointId);
        EXPECT_EQ(stop.stopInfo.watchpointId, locationId);
        EXPECT_EQ(stop.stopInfo.reason, StopReason::Breakpoint);
        EXPECT_NE(stop.threadId, 0);
        ASSERT_EQ(stop.frames.size(), c.frames);
        EXPECT_EQ(stop.totalFrameCount, c.total);
        EXPECT_EQ(stop.framesTruncated, c.truncated);
        EXPECT_EQ(stop.frames[0].functionName, c.function);
        EXPECT_EQ(stop.frames[0].line, c.line);
        EXPECT_EQ(stop.frames[0].filename, kFixtureSource);
        EXPECT_TRUE(stop.frames[0].hasDebugInfo);
        EXPECT_EQ(stop.frames[0].module, "run_control_target");
        for (size_t i = 0; i < stop.frames.size(); ++i) EXPECT_EQ(stop.frames[i].index, static_cast<int32_t>(i));
        e.RemoveBreakpoint(bp.breakpointId);
    }
}

TEST(RunControl, ContinueThenPauseComesToRest) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    ASSERT_TRUE(ContinueUntilRunning(e));
    DebugEvent ev;
    EXPECT_FALSE(e.ContinueProcess()) << "already running";
    ASSERT_TRUE(e.StopProcess());
    ASSERT_TRUE(NextRest(e, ev));
    EXPECT_EQ(ev.newState, ProcessState::Stopped);
    EXPECT_NE(ev.threadId, 0);
    EXPECT_FALSE(ev.frames.empty());
    EXPECT_EQ(e.GetProcessInfo().state, ProcessState::Stopped);
}

TEST(RunControl, EveryStepEndsInAStepStopOnItsThread) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    const DebugEvent atCall = RunToLine(e, kHotCall);
    ASSERT_EQ(atCall.type, EventType::BreakpointHit);
    const int64_t tid = atCall.threadId;
    struct Case {
        const char* name;
        std::function<bool()> step;
        const char* function;  // where the step ends
        int line;              // 0: any line
    };
    const std::vector<Case> cases{
        {"into", [&] { return e.StepInto(tid); }, "leaf", kLeafBody},
        {"out", [&] { return e.StepOut(); }, "hot_spot", kHotAfterCall},  // the return lands on the next line
        {"over", [&] { return e.StepOver(0); }, "hot_spot", kHotAfterCall + 1},
        {"instruction into", [&] { return e.StepInstructionInto(tid); }, "hot_spot", 0},
        {"instruction over", [&] { return e.StepInstructionOver(); }, "hot_spot", 0},
    };
    uint64_t pc = atCall.frames.at(0).pc;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(c.step());
        DebugEvent stop;
        ASSERT_TRUE(NextRest(e, stop));
        EXPECT_EQ(stop.type, EventType::StateChanged);
        EXPECT_EQ(stop.stopInfo.reason, StopReason::Step);
        EXPECT_EQ(stop.threadId, tid);
        ASSERT_FALSE(stop.frames.empty());
        EXPECT_EQ(stop.frames[0].functionName, c.function);
        if (c.line != 0) {
            EXPECT_EQ(stop.frames[0].line, c.line);
        }
        EXPECT_NE(stop.frames[0].pc, pc) << "the step moved";
        pc = stop.frames[0].pc;
    }
}

TEST(RunControl, AStepAskedForWhileRunningStopsTheProcessFirst) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    ASSERT_TRUE(ContinueUntilRunning(e));
    DebugEvent ev;
    ASSERT_TRUE(e.StepOver(0));
    // The stop forced before the step is the step's business: the next stop the
    // caller sees is the step's own, with its thread.
    ASSERT_TRUE(NextRest(e, ev));
    EXPECT_EQ(ev.newState, ProcessState::Stopped);
    EXPECT_EQ(ev.stopInfo.reason, StopReason::Step);
    EXPECT_NE(ev.threadId, 0);
    EXPECT_FALSE(ev.frames.empty());
}

TEST(RunControl, RunToAddressStopsThereAndLeavesNoBreakpoint) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    const int probe = e.AddBreakpointByName("leaf");
    ASSERT_GT(probe, 0);
    const uint64_t leaf = e.GetBreakpoints().at(0).locations.at(0).address;
    ASSERT_TRUE(e.RemoveBreakpoint(probe));
    ASSERT_NE(leaf, 0u);

    EXPECT_FALSE(e.RunToAddress(0, 0));
    EXPECT_TRUE(e.GetBreakpoints().empty());
    ASSERT_TRUE(e.RunToAddress(leaf, 0));
    DebugEvent stop;
    ASSERT_TRUE(NextRest(e, stop));
    EXPECT_EQ(stop.type, EventType::BreakpointHit);
    ASSERT_FALSE(stop.frames.empty());
    EXPECT_EQ(stop.frames[0].pc, leaf);
    EXPECT_EQ(stop.frames[0].functionName, "leaf");
    EXPECT_TRUE(e.GetBreakpoints().empty()) << "the one-shot breakpoint is gone once hit";

    // Running already: refused without leaving a breakpoint, and the process stays stoppable.
    ASSERT_TRUE(ContinueUntilRunning(e));
    EXPECT_FALSE(e.RunToAddress(leaf, 0));
    EXPECT_TRUE(e.GetBreakpoints().empty());
    ASSERT_TRUE(e.StopProcess());
    ASSERT_TRUE(NextRest(e, stop));
}

TEST(EventPump, TerminationEndsInAnExitedEvent) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    std::vector<DebugEvent> delivered;
    e.SetEventCallback([&](const DebugEvent& ev) { delivered.push_back(ev); });
    ASSERT_TRUE(e.ContinueProcess());
    ASSERT_EQ(kill(s.debuggee->pid(), SIGTERM), 0);
    DebugEvent ev;
    ASSERT_TRUE(NextRest(e, ev));
    EXPECT_EQ(ev.stopInfo.reason, StopReason::Signal);
    EXPECT_EQ(ev.stopInfo.breakpointId, SIGTERM) << "the first datum of a signal stop is its number";
    EXPECT_FALSE(e.WaitForStopEvent(0)) << "nothing more is pending";
    ASSERT_TRUE(e.ContinueProcess());
    ASSERT_TRUE(NextRest(e, ev));
    EXPECT_EQ(ev.newState, ProcessState::Exited);
    EXPECT_TRUE(ev.frames.empty());
    ASSERT_FALSE(delivered.empty());
    EXPECT_EQ(delivered.back().newState, ProcessState::Exited) << "the callback saw the exit too";
}

TEST(RunControl, EverythingFailsWithoutAProcess) {
    DebugEngine e;
    ASSERT_TRUE(e.CreateTarget());
    const std::vector<std::pair<const char*, std::function<bool()>>> operations{
        {"continue", [&] { return e.ContinueProcess(); }},
        {"stop", [&] { return e.StopProcess(0); }},
        {"over", [&] { return e.StepOver(); }},
        {"into", [&] { return e.StepInto(); }},
        {"out", [&] { return e.StepOut(7); }},
        {"stepi", [&] { return e.StepInstructionInto(); }},
        {"nexti", [&] { return e.StepInstructionOver(7); }},
        {"run to", [&] { return e.RunToAddress(0x1000, 0); }},
        {"wait", [&] { DebugEvent ev; return e.WaitForEvent(0, ev); }},
        {"wait stop", [&] { return e.WaitForStopEvent(0); }},
        {"select", [&] { return e.SetSelectedThreadAndFrame(1, 0); }},
        {"select index", [&] { return e.SetSelectedThreadByIndexId(1); }},
    };
    for (const auto& [name, operation] : operations) EXPECT_FALSE(operation()) << name;
    EXPECT_TRUE(e.GetThreads().empty());
    EXPECT_TRUE(e.GetFrames(0).empty());
    EXPECT_EQ(e.GetThreadCount(), 0u);
    EXPECT_EQ(e.ResolveThreadProcessIndexById(1), -1);
    EXPECT_EQ(e.GetSelectedThreadId(), 0);
    EXPECT_TRUE(e.GetBreakpoints().empty());
}

}  // namespace
