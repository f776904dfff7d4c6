#include <algorithm>

#include "engine_fixture.h"
#include "event_waiting.h"

using namespace lldb_debug;
using namespace nativescope_testing;
using namespace nativescope_testing::fixture_lines;

namespace {

TEST(Threads, ListingsHonourTheirFrameAndThreadCaps) {
    AttachedEngine s("run_control_target", {"threads", "64"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    ASSERT_EQ(e.GetThreadCount(), 65u);
    const int32_t selected = e.GetSelectedThreadId();
    ASSERT_NE(selected, 0);

    const std::vector<Thread> preview = e.GetThreads();
    ASSERT_EQ(preview.size(), 65u);
    EXPECT_EQ(std::count_if(preview.begin(), preview.end(), [&](const Thread& t) { return t.id == selected; }), 1);
    // Parked threads sit deep in the C library: three frames and "more".
    const Thread& parked = preview.back();
    EXPECT_EQ(parked.frames.size(), 3u);
    EXPECT_TRUE(parked.framesTruncated);
    EXPECT_EQ(parked.totalFrameCount, 0);
    EXPECT_NE(parked.indexId, 0u);

    const std::vector<Thread> two = e.GetThreadsPreview(2);
    ASSERT_EQ(two.size(), 2u);
    EXPECT_EQ(two[0].id, preview[0].id);
    EXPECT_EQ(two[1].id, preview[1].id);
    EXPECT_EQ(e.GetThreadsPreview(1000).size(), 65u);

    const std::vector<Thread> full = e.GetThreadsFull();
    ASSERT_EQ(full.size(), 65u);
    const Thread& whole = full.back();
    EXPECT_FALSE(whole.framesTruncated);
    EXPECT_GT(whole.frames.size(), 3u);
    EXPECT_EQ(whole.totalFrameCount, static_cast<int32_t>(whole.frames.size()));
    EXPECT_TRUE(std::any_of(whole.frames.begin(), whole.frames.end(),
                            [](const Frame& f) { return f.functionName == "parked_main"; }));
    EXPECT_EQ(e.GetThreadNumFramesByLldbId(whole.id), whole.frames.size());
}

TEST(Threads, StacksAndSelectionOfAStoppedThread) {
    AttachedEngine s("run_control_target", {"stacks", "12"});
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    DebugEngine& e = *s.engine;
    const BreakpointResult bp = e.SetBreakpoint("run_control_target.c", kShallowLoop, "", {});
    ASSERT_TRUE(e.ContinueProcess());
    DebugEvent stop;
    ASSERT_TRUE(NextRest(e, stop));
    ASSERT_EQ(stop.type, EventType::BreakpointHit);

    // Exactly three frames: the listing knows the total without truncation.
    const std::vector<Thread> threads = e.GetThreads();
    const auto shallow = std::find_if(threads.begin(), threads.end(), [&](const Thread& t) { return t.id == stop.threadId; });
    ASSERT_NE(shallow, threads.end());
    EXPECT_EQ(shallow->frames.size(), 3u);
    EXPECT_EQ(shallow->totalFrameCount, 3);
    EXPECT_FALSE(shallow->framesTruncated);
    EXPECT_EQ(shallow->stopReason, StopReason::Breakpoint);
    EXPECT_EQ(shallow->stopInfo.breakpointId, bp.breakpointId);

    // The deep thread: 12 recursion frames between its bottom and its start routine.
    const std::vector<Thread> full = e.GetThreadsFull();
    const auto deep = std::find_if(full.begin(), full.end(), [](const Thread& t) {
        return std::any_of(t.frames.begin(), t.frames.end(), [](const Frame& f) { return f.functionName == "recurse"; });
    });
    ASSERT_NE(deep, full.end());
    const int32_t position = e.ResolveThreadProcessIndexById(deep->id);
    ASSERT_GE(position, 0);
    const std::vector<Frame> frames = e.GetFrames(position);
    EXPECT_EQ(std::count_if(frames.begin(), frames.end(), [](const Frame& f) { return f.functionName == "recurse"; }), 12);
    EXPECT_EQ(e.GetThreadNumFramesByLldbId(deep->id), frames.size());
    for (size_t i = 0; i < frames.size(); ++i) EXPECT_EQ(frames[i].index, static_cast<int32_t>(i));

    ASSERT_TRUE(e.SetSelectedThreadAndFrame(deep->id, 3));
    EXPECT_EQ(e.GetSelectedThreadId(), deep->id);
    // An out-of-range frame fails but leaves its thread selected.
    const int32_t shallowPosition = e.ResolveThreadProcessIndexById(stop.threadId);
    EXPECT_FALSE(e.SetSelectedFrame(shallowPosition, 50));
    EXPECT_EQ(e.GetSelectedThreadId(), stop.threadId);
    ASSERT_TRUE(e.SetSelectedThreadByIndexId(static_cast<int32_t>(deep->indexId)));
    EXPECT_EQ(e.GetSelectedThreadId(), deep->id);
    ASSERT_TRUE(e.SetSelectedThread(shallowPosition));
    EXPECT_EQ(e.GetSelectedThreadId(), stop.threadId);

    struct Refused {
        const char* what;
        bool result;
    };
    for (const Refused& r : {Refused{"thread id 0", e.SetSelectedThreadAndFrame(0, 0)},
                             Refused{"unknown thread id", e.SetSelectedThreadByThreadId(1)},
                             Refused{"unknown index id", e.SetSelectedThreadByIndexId(100000)},
                             Refused{"position out of range", e.SetSelectedThread(1000)},
                             Refused{"frame of missing thread", e.SetSelectedFrame(-1, 0)}}) {
        EXPECT_FALSE(r.result) << r.what;
    }
    EXPECT_EQ(e.ResolveThreadProcessIndexById(0), -1);
    EXPECT_EQ(e.GetThreadNumFramesByLldbId(0), 0u);
    EXPECT_TRUE(e.GetFrames(1000).empty());
}

}  // namespace
