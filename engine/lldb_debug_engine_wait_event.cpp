// Event pump: turns LLDB process events on the engine's listener into engine
// events, resolving the stopping thread and its top frames at every stop.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "diagnostics.h"
#include "engine_impl.h"
#include "env_switches.h"
#include "event_pump.h"
#include "stack_frames.h"

namespace lldb_debug {
namespace {

using Clock = std::chrono::steady_clock;

constexpr uint32_t kStopEventFrameCap = 8;
constexpr uint32_t kLldbReasonNone = lldb::eStopReasonNone;
constexpr uint32_t kLldbReasonBreakpoint = lldb::eStopReasonBreakpoint;

double MsSince(Clock::time_point start) { return KotlinTypeElapsedMs(start, Clock::now()); }

unsigned long long Tid(const lldb::SBThread& thread) { return static_cast<unsigned long long>(thread.GetThreadID()); }
int Reason(lldb::SBThread& thread) { return static_cast<int>(thread.GetStopReason()); }

}  // namespace

lldb::SBThread ResolveStoppedThread(lldb::SBProcess& process, const lldb::SBEvent& event, bool verbose) {
    lldb::SBThread fromEvent = lldb::SBThread::GetThreadFromEvent(event);
    if (fromEvent.IsValid()) {
        if (verbose) {
            std::fprintf(stderr, "[THREAD_SOURCE] ResolveStoppedThread: from GetThreadFromEvent lldb_tid=%llu stopReason=%d\n",
                         Tid(fromEvent), Reason(fromEvent));
        }
        return fromEvent;
    }
    const uint32_t n = process.GetNumThreads();
    for (uint32_t i = 0; i < n; ++i) {
        lldb::SBThread thread = process.GetThreadAtIndex(i);
        if (thread.IsValid() && static_cast<uint32_t>(thread.GetStopReason()) == kLldbReasonBreakpoint) {
            if (verbose) {
                std::fprintf(stderr, "[THREAD_SOURCE] ResolveStoppedThread: first eStopReasonBreakpoint at index=%u lldb_tid=%llu\n",
                             i, Tid(thread));
            }
            return thread;
        }
    }
    for (uint32_t i = 0; i < n; ++i) {
        lldb::SBThread thread = process.GetThreadAtIndex(i);
        if (thread.IsValid() && static_cast<uint32_t>(thread.GetStopReason()) != kLldbReasonNone) {
            if (verbose) {
                std::fprintf(stderr, "[THREAD_SOURCE] ResolveStoppedThread: first non-None stopReason lldb_tid=%llu stopReason=%d\n",
                             Tid(thread), Reason(thread));
            }
            return thread;
        }
    }
    lldb::SBThread selected = process.GetSelectedThread();
    if (selected.IsValid()) {
        if (verbose) {
            std::fprintf(stderr, "[THREAD_SOURCE] ResolveStoppedThread: fallback GetSelectedThread lldb_tid=%llu stopReason=%d\n",
                         Tid(selected), Reason(selected));
        }
        return selected;
    }
    lldb::SBThread first = process.GetThreadAtIndex(0);
    if (verbose && first.IsValid()) {
        std::fprintf(stderr, "[THREAD_SOURCE] ResolveStoppedThread: fallback threadAtIndex(0) lldb_tid=%llu stopReason=%d\n",
                     Tid(first), Reason(first));
    }
    return first;
}

size_t DrainStdioStream(const StdioReader& read, std::string* out, size_t budget) {
    if (out == nullptr) return 0;
    std::vector<char> buffer(kInferiorStdioChunk, '\0');
    size_t total = 0;
    while (total < budget) {
        const size_t want = std::min(kInferiorStdioChunk, budget - total);
        const size_t n = std::min(read(buffer.data(), want), want);  // a reader never gets to overrun
        if (n == 0) break;
        out->append(buffer.data(), n);
        total += n;
    }
    return total;
}

void DrainInferiorStdio(lldb::SBProcess& process, std::string* out, std::string* err) {
    if (!process.IsValid()) return;
    DrainStdioStream([&](char* buffer, size_t size) { return process.GetSTDOUT(buffer, size); }, out);
    DrainStdioStream([&](char* buffer, size_t size) { return process.GetSTDERR(buffer, size); }, err);
}

namespace {

void HandleStopped(DebugEngine::Impl& impl, const lldb::SBEvent& ev, DebugEvent& event, Clock::time_point waitStart) {
    const Clock::time_point start = Clock::now();
    lldb::SBThread thread = ResolveStoppedThread(impl.process, ev, LldbDebugThreadSource());
    if (!thread.IsValid()) thread = impl.process.GetThreadAtIndex(0);
    LogStepTimingMs("HandleWaitForStopped.ResolveStoppedThread", MsSince(start));

    const bool valid = thread.IsValid();
    const int lldbReason = valid ? Reason(thread) : -1;
    const bool isBreakpoint = valid && lldbReason == lldb::eStopReasonBreakpoint;
    const bool isStep = valid && (lldbReason == lldb::eStopReasonTrace || lldbReason == lldb::eStopReasonPlanComplete);
    std::fprintf(stderr,
                 "[ENGINE_FLOW][waitForEvent] stop: reason=%d is_breakpoint=%d is_step=%d has_user_source=%d -> "
                 "skip_invisible_continue=%d chain=%u\n",
                 lldbReason, isBreakpoint ? 1 : 0, isStep ? 1 : 0, 0, 0, 0u);
    if (isBreakpoint) {
        std::fprintf(stderr,
                     "[ENGINE_FLOW][waitForEvent] breakpoint without host source -> deliver STOPPED (no auto-continue)\n");
    }
    const unsigned long long tid = valid ? Tid(thread) : 0ull;
    FillFramesFromThread(thread, event.frames, kStopEventFrameCap, &event.totalFrameCount, &event.framesTruncated);
    event.threadId = static_cast<int32_t>(tid);
    event.newState = ProcessState::Stopped;
    event.stopInfo.reason = static_cast<StopReason>(StopReasonFromLldb(valid ? lldbReason : lldb::eStopReasonInvalid));
    const size_t data = valid ? thread.GetStopReasonDataCount() : 0;
    if (data >= 1) event.stopInfo.breakpointId = static_cast<int32_t>(thread.GetStopReasonDataAtIndex(0));
    if (data >= 2) event.stopInfo.watchpointId = static_cast<int32_t>(thread.GetStopReasonDataAtIndex(1));
    if (isBreakpoint) {
        event.type = EventType::BreakpointHit;
        event.breakpointId = event.stopInfo.breakpointId;
    } else {
        event.type = EventType::StateChanged;
    }
    LogStopSnapshot(impl.process, isBreakpoint ? "breakpoint" : "stopped", &thread, event.stopInfo.breakpointId);
    std::fprintf(stderr,
                 "[ENGINE_FLOW][waitForEvent] STOPPED lldb_tid=%llu stopReason=%d bpId=%d frames_in_event=%zu total=%d "
                 "truncated=%d\n",
                 tid, lldbReason, event.stopInfo.breakpointId, event.frames.size(), event.totalFrameCount,
                 event.framesTruncated ? 1 : 0);
    DrainInferiorStdio(impl.process, &event.inferiorStdout, &event.inferiorStderr);
    LogStepTimingMs("FillStoppedDebugEvent", MsSince(start));
    if (impl.eventCallback) impl.eventCallback(event);
    LogStepTimingMs("HandleWaitForStoppedState", MsSince(start));
    LogStepTimingMs("WaitForEvent.stopped_total", MsSince(waitStart));
}

}  // namespace

bool DebugEngine::WaitForEvent(int timeoutSeconds, DebugEvent& event) {
    const Clock::time_point start = Clock::now();
    event = DebugEvent();
    if (!impl->process.IsValid()) return false;
    lldb::SBEvent ev;
    // -1 becomes the largest unsigned number, which LLDB treats as no limit.
    if (!impl->listener.WaitForEvent(static_cast<uint32_t>(timeoutSeconds), ev)) {
        LogStepTimingMs("WaitForEvent.listener_timeout", MsSince(start));
        return false;
    }
    LogStepTimingMs("WaitForEvent.listener", MsSince(start));
    if (!lldb::SBProcess::EventIsProcessEvent(ev)) return false;
    const int s = static_cast<int>(lldb::SBProcess::GetStateFromEvent(ev));
    std::fprintf(stderr, "[ENGINE_FLOW][waitForEvent] process state event: state=%d\n", s);
    lldb::SBProcess p = lldb::SBProcess::GetProcessFromEvent(ev);
    if (p.IsValid()) {
        impl->process = p;
        impl->target = p.GetTarget();
    }
    if (s == lldb::eStateStopped) {
        // A stop that LLDB already resumed (a false breakpoint condition, an
        // auto-continue) leaves the process running: it must not read as a stop.
        if (!lldb::SBProcess::GetRestartedFromEvent(ev)) {
            HandleStopped(*impl, ev, event, start);
            return true;
        }
        std::fprintf(stderr, "[ENGINE_FLOW][waitForEvent] stop restarted by LLDB -> RUNNING\n");
        LogStepTimingMs("WaitForEvent.non_stopped_total", MsSince(start));
        event.newState = ProcessState::Running;
        DrainInferiorStdio(impl->process, &event.inferiorStdout, &event.inferiorStderr);
        EmitEvent(event);
        return true;
    }
    LogStepTimingMs("WaitForEvent.non_stopped_total", MsSince(start));
    switch (s) {
        case lldb::eStateRunning:
        case lldb::eStateStepping:
            std::fprintf(stderr, "[ENGINE_FLOW][waitForEvent] %s (e.g. after step/continue, wait again for stopped)\n",
                         s == lldb::eStateRunning ? "RUNNING" : "STEPPING");
            [[fallthrough]];
        case lldb::eStateCrashed:
        case lldb::eStateDetached:
        case lldb::eStateExited:
            event.newState = static_cast<ProcessState>(s);
            DrainInferiorStdio(impl->process, &event.inferiorStdout, &event.inferiorStderr);
            EmitEvent(event);
            return true;
        default:
            return true;  // other states carry nothing: a default event, no callback
    }
}

bool DebugEngine::WaitForStopEvent(int timeoutSeconds) {
    std::fprintf(stderr, "[ENGINE_FLOW][waitForStopEvent] timeout=%ds\n", timeoutSeconds);
    DebugEvent event;
    const bool got = WaitForEvent(timeoutSeconds, event);
    const bool acceptable = got && (event.newState == ProcessState::Stopped || event.newState == ProcessState::Detached ||
                                     event.newState == ProcessState::Exited);
    std::fprintf(stderr, "[ENGINE_FLOW][waitForStopEvent] got_event=%d acceptable=%d newState=%d\n", got ? 1 : 0,
                 acceptable ? 1 : 0, static_cast<int>(event.newState));
    return acceptable;
}

void DebugEngine::DrainListenerEvents() {
    std::fprintf(stderr, "[ENGINE_FLOW][drainListenerEvents] flushing queue\n");
    lldb::SBEvent ev;
    int drained = 0;
    while (impl->listener.GetNextEvent(ev)) ++drained;
    std::fprintf(stderr, "[ENGINE_FLOW][drainListenerEvents] drained %d events\n", drained);
}

}  // namespace lldb_debug
