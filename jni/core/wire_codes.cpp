#include "wire_codes.h"

namespace nativescope {

using lldb_debug::DebugEvent;
using lldb_debug::EventType;
using lldb_debug::ProcessState;
using lldb_debug::StopReason;

int32_t EventCodeOf(const DebugEvent& event) {
    if (event.type == EventType::BreakpointHit) return kEventStopped;
    switch (event.newState) {
        case ProcessState::Running:
        case ProcessState::Stepping:
            return kEventRunning;
        case ProcessState::Crashed:
            return kEventCrashed;
        case ProcessState::Detached:
        case ProcessState::Exited:
            return kEventExited;
        default:
            return kEventStopped;
    }
}

bool CarriesNoState(const DebugEvent& event) {
    return event.type == EventType::StateChanged && event.newState == ProcessState::Invalid;
}

const char* StopReasonText(StopReason reason) {
    switch (reason) {
        case StopReason::Breakpoint: return "breakpoint";
        case StopReason::Watchpoint: return "watchpoint";
        case StopReason::Signal: return "signal";
        case StopReason::Exception: return "exception";
        case StopReason::Step: return "step";
        case StopReason::Exec: return "exec";
        case StopReason::ThreadExiting: return "exited";
        default: return "unknown";
    }
}

int64_t EncodeFrameHandle(int32_t threadId, int32_t frameIndex) {
    const uint64_t high = static_cast<uint64_t>(static_cast<uint32_t>(threadId)) << 32;
    return static_cast<int64_t>(high | static_cast<uint32_t>(frameIndex));
}

int32_t FrameHandleThreadId(int64_t handle) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(handle) >> 32));
}

int32_t FrameHandleFrameIndex(int64_t handle) {
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(handle)));
}

}  // namespace nativescope
