// Numbers and texts that cross to the newer Java interface: event codes,
// stop-reason texts and frame handles.
#pragma once

#include <cstdint>

#include "lldb_debug_records.h"

namespace nativescope {

// Event codes of SpecDebugEvent.eventType.
constexpr int32_t kEventStopped = 1;
constexpr int32_t kEventRunning = 2;
constexpr int32_t kEventExited = 3;
constexpr int32_t kEventCrashed = 4;

// A breakpoint hit is a stop whatever its state; otherwise the new state decides.
// Running and stepping both mean the process is moving again.
int32_t EventCodeOf(const lldb_debug::DebugEvent& event);

// True for the events of states the pump does not describe (for example
// "connected"): they only hold defaults and would read as a stop with no thread.
bool CarriesNoState(const lldb_debug::DebugEvent& event);

// "breakpoint", "step", ...; "unknown" for None and any value out of range.
const char* StopReasonText(lldb_debug::StopReason reason);

// Thread id in the upper 32 bits, frame index (unsigned) in the lower 32.
int64_t EncodeFrameHandle(int32_t threadId, int32_t frameIndex);
int32_t FrameHandleThreadId(int64_t handle);
int32_t FrameHandleFrameIndex(int64_t handle);

}  // namespace nativescope
