#include <algorithm>

#include "engine_fixture.h"
#include "event_waiting.h"

using namespace lldb_debug;
using namespace nativescope_testing;
using namespace nativescope_testing::fixture_lines;

namespace {

const char* const kFixtureSource = "run_control_target.c";

bool EndsWith(const std::string& text, const std::string& tail) {
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST(Breakpoints, FallbackPathsPreferACandidateThatLldbCanPlace) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;

    // The IDE's path is unknown to the debug info: LLDB would keep it pending for
    // ever, so the fallback that LLDB places is taken and the pending one dropped.
    const BreakpointResult placed = e.SetBreakpoint("/ide/project/run_control_target.c", kHotLoop, "",
                                                    {"", "/also/wrong/run_control_target.c", kFixtureSource});
    ASSERT_TRUE(placed.valid) << placed.errorMessage;
    EXPECT_EQ(placed.locationCount, 1);
    EXPECT_TRUE(EndsWith(placed.resolvedFile, "tests/fixtures/run_control_target.c")) << placed.resolvedFile;
    EXPECT_EQ(placed.resolvedLine, kHotLoop);
    ASSERT_EQ(e.GetBreakpoints().size(), 1u) << "the rejected candidates leave nothing behind";

    // Nothing places: the first candidate stands as a pending breakpoint.
    const BreakpointResult pending = e.SetBreakpoint("/nowhere/a.c", 10, "", {"/nowhere/b.c"});
    ASSERT_TRUE(pending.valid);
    EXPECT_EQ(pending.locationCount, 0);
    EXPECT_EQ(pending.resolvedFile, "/nowhere/a.c");
    EXPECT_EQ(pending.resolvedLine, 10);
    EXPECT_EQ(e.GetBreakpoints().size(), 2u);

    // A line without code moves to the next line that has some.
    const BreakpointResult moved = e.SetBreakpoint(kFixtureSource, kHotLoop - 2, "", {});
    ASSERT_TRUE(moved.valid);
    EXPECT_GT(moved.resolvedLine, kHotLoop - 2);

    struct Case {
        std::string file;
        int line;
        std::vector<std::string> fallbacks;
        const char* error;
    };
    for (const Case& c : std::vector<Case>{{"", 5, {"", ""}, "no file or fallback paths"},
                                           {kFixtureSource, 0, {kFixtureSource}, "breakpoint create failed for all paths"}}) {
        const BreakpointResult r = e.SetBreakpoint(c.file, c.line, "", c.fallbacks);
        EXPECT_FALSE(r.valid);
        EXPECT_EQ(r.errorMessage, c.error);
    }
    EXPECT_EQ(DebugEngine().SetBreakpoint(kFixtureSource, 5, "", {}).errorMessage, "target invalid");
}

TEST(Breakpoints, ChangesEmitEventsAndShowInTheListing) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    std::vector<DebugEvent> events;
    e.SetEventCallback([&](const DebugEvent& ev) { events.push_back(ev); });

    const int byLine = e.SetBreakpoint(kFixtureSource, kLeafBody, "x > 3", {}).breakpointId;
    const int byName = e.AddBreakpointByName("hot_spot");
    const int byLocation = e.AddBreakpointByLocation(kFixtureSource, kHotAfterCall);
    ASSERT_GT(byLine, 0);
    ASSERT_GT(byName, 0);
    ASSERT_GT(byLocation, 0);
    EXPECT_EQ(e.AddBreakpointByName(""), 0);
    EXPECT_TRUE(e.SetBreakpointEnabled(byName, false));
    EXPECT_TRUE(e.SetBreakpointIgnoreCount(byLocation, 4));
    EXPECT_TRUE(e.SetBreakpointCondition(byLocation, "i == 7"));

    // Unknown ids change nothing and say nothing.
    const int unknown = 4242;
    EXPECT_FALSE(e.RemoveBreakpoint(unknown));
    EXPECT_FALSE(e.SetBreakpointEnabled(unknown, true));
    EXPECT_FALSE(e.SetBreakpointCondition(unknown, "1"));
    EXPECT_FALSE(e.SetBreakpointIgnoreCount(unknown, 1));

    std::vector<std::pair<EventType, int>> seen;
    for (const DebugEvent& ev : events) seen.emplace_back(ev.type, ev.breakpointId);
    const std::vector<std::pair<EventType, int>> expected{{EventType::BreakpointAdded, byLine},
                                                          {EventType::BreakpointAdded, byName},
                                                          {EventType::BreakpointAdded, byLocation},
                                                          {EventType::BreakpointChanged, byName}};
    EXPECT_EQ(seen, expected);

    const std::vector<Breakpoint> listed = e.GetBreakpoints();
    ASSERT_EQ(listed.size(), 3u);
    const Breakpoint& line = listed[0];
    EXPECT_EQ(line.id, byLine);
    EXPECT_TRUE(line.enabled);
    EXPECT_EQ(line.condition, "x > 3");
    EXPECT_EQ(line.line, kLeafBody);
    EXPECT_TRUE(EndsWith(line.file, "/run_control_target.c")) << line.file;
    EXPECT_EQ(line.address, 0u);
    ASSERT_EQ(line.locations.size(), 1u);
    EXPECT_TRUE(line.locations[0].resolved);
    EXPECT_NE(line.locations[0].address, 0u);
    EXPECT_EQ(line.locations[0].line, kLeafBody);
    EXPECT_EQ(line.locations[0].locationId, 1);
    EXPECT_FALSE(listed[1].enabled);
    EXPECT_EQ(listed[2].ignoreCount, 4u);
    EXPECT_EQ(listed[2].condition, "i == 7");

    events.clear();
    EXPECT_TRUE(e.RemoveBreakpoint(byName));
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, EventType::BreakpointRemoved);
    EXPECT_EQ(events[0].breakpointId, byName);
    EXPECT_FALSE(e.RemoveBreakpoint(byName)) << "already gone";
    EXPECT_EQ(events.size(), 1u);
}

// Only the enabled, unconditional breakpoint after the call may stop the loop;
// the disabled one and the one whose condition never holds are passed silently.
TEST(Breakpoints, DisabledAndFalseConditionBreakpointsAreNotHit) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    const int disabled = e.AddBreakpointByLocation(kFixtureSource, kHotLoop);
    ASSERT_TRUE(e.SetBreakpointEnabled(disabled, false));
    ASSERT_TRUE(e.SetBreakpoint(kFixtureSource, kLeafBody, "x < 0", {}).valid);
    const int target = e.AddBreakpointByLocation(kFixtureSource, kHotAfterCall);
    ASSERT_TRUE(e.ContinueProcess());
    DebugEvent stop;
    ASSERT_TRUE(NextRest(e, stop));
    EXPECT_EQ(stop.type, EventType::BreakpointHit);
    EXPECT_EQ(stop.breakpointId, target);
}

// LLDB posts the stops of an auto-continue breakpoint as "restarted": the process
// runs on, so they must reach the caller as running, never as stops.
TEST(Breakpoints, AutoContinuedStopsAreReportedAsRunning) {
    AttachedEngine s("run_control_target", {"hot"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    const int id = e.AddBreakpointByLocation(kFixtureSource, kHotLoop);
    std::string out;
    ASSERT_TRUE(e.HandleInterpreterCommand("breakpoint modify --auto-continue true " + std::to_string(id), &out));
    ASSERT_TRUE(e.ContinueProcess());
    DebugEvent ev;
    std::vector<DebugEvent> seen;
    EXPECT_FALSE(NextRest(e, ev, 2, &seen)) << "a stop reached the caller";
    EXPECT_FALSE(seen.empty());
    for (const DebugEvent& running : seen) {
        if (running.type == EventType::StateChanged && running.newState == ProcessState::Invalid) continue;
        EXPECT_EQ(running.newState, ProcessState::Running);
        EXPECT_TRUE(running.frames.empty());
    }
    const std::vector<Breakpoint> listed = e.GetBreakpoints();
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_GT(listed[0].hitCount, 1u) << "the breakpoint really was hit";

    // Bring the process to rest before teardown: detaching while LLDB restarts it
    // over and over is not reliable. Removing the breakpoint may itself stop it.
    ASSERT_TRUE(e.RemoveBreakpoint(id));
    if (!NextRest(e, ev, 2)) {
        ASSERT_TRUE(e.StopProcess());
        ASSERT_TRUE(NextRest(e, ev));
    }
}

}  // namespace
