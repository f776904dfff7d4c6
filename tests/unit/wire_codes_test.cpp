#include "core/wire_codes.h"

#include <gtest/gtest.h>

using namespace lldb_debug;
using namespace nativescope;

namespace {

DebugEvent Event(EventType type, ProcessState state) {
    DebugEvent event;
    event.type = type;
    event.newState = state;
    return event;
}

TEST(WireCodes, EventCodes) {
    struct Case {
        EventType type;
        ProcessState state;
        int32_t code;
        bool empty;
    };
    const Case cases[] = {
        {EventType::BreakpointHit, ProcessState::Stopped, kEventStopped, false},
        {EventType::BreakpointHit, ProcessState::Running, kEventStopped, false},
        {EventType::StateChanged, ProcessState::Stopped, kEventStopped, false},
        {EventType::StateChanged, ProcessState::Running, kEventRunning, false},
        {EventType::StateChanged, ProcessState::Stepping, kEventRunning, false},  // moving, not stopped
        {EventType::StateChanged, ProcessState::Crashed, kEventCrashed, false},
        {EventType::StateChanged, ProcessState::Exited, kEventExited, false},
        {EventType::StateChanged, ProcessState::Detached, kEventExited, false},
        {EventType::StateChanged, ProcessState::Invalid, kEventStopped, true},  // e.g. "connected"
        {EventType::BreakpointAdded, ProcessState::Invalid, kEventStopped, false},
    };
    for (const Case& c : cases) {
        const DebugEvent event = Event(c.type, c.state);
        EXPECT_EQ(EventCodeOf(event), c.code) << static_cast<int>(c.type) << "/" << static_cast<int>(c.state);
        EXPECT_EQ(CarriesNoState(event), c.empty) << static_cast<int>(c.type) << "/" << static_cast<int>(c.state);
    }
}

TEST(WireCodes, StopReasonTexts) {
    const char* const texts[] = {"unknown", "breakpoint", "watchpoint", "signal", "exception",
                                 "step",    "exec",       "exited",     "unknown", "unknown"};
    for (int value = 0; value < 10; ++value) {
        EXPECT_STREQ(StopReasonText(static_cast<StopReason>(value)), texts[value]) << value;
    }
    EXPECT_STREQ(StopReasonText(static_cast<StopReason>(-1)), "unknown");
}

TEST(WireCodes, FrameHandlesKeepBothHalves) {
    struct Case {
        int32_t threadId;
        int32_t frameIndex;
        int64_t handle;
    };
    const Case cases[] = {
        {5, 2, (int64_t{5} << 32) | 2},
        {0, 0, 0},
        {123456, 0, int64_t{123456} << 32},
        {-1, 7, static_cast<int64_t>(0xFFFFFFFF00000007ull)},  // ids are 32-bit patterns, not numbers
        {9, -1, (int64_t{9} << 32) | 0xFFFFFFFFll},            // the index is never sign-extended into the id
    };
    for (const Case& c : cases) {
        EXPECT_EQ(EncodeFrameHandle(c.threadId, c.frameIndex), c.handle);
        EXPECT_EQ(FrameHandleThreadId(c.handle), c.threadId);
        EXPECT_EQ(FrameHandleFrameIndex(c.handle), c.frameIndex);
    }
}

}  // namespace
