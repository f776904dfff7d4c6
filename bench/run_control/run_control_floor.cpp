// The floor of the run-control benchmark: the same three jobs as the Java side,
// done with the raw SB API over the same loopback platform and debuggee.
//   stop      continue to a breakpoint in a hot loop and wait for its stop event,
//             then read the stopped thread's reason and top 8 frames
//   threads   list all threads of a 65-thread process with 3 frames each (probe
//             one past), at a fresh stop each time
//   stack     every frame of a 200-deep thread, at a fresh stop each time
// Prints one line per job: "floor <job> median_ms=<x> samples=<n>".
#include <lldb/API/LLDB.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "lldb_debug_engine.h"
#include "loopback_session.h"

using namespace nativescope_testing;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int kSamples = 60;
constexpr int kWarmup = 5;
constexpr uint32_t kStopFrames = 8;
constexpr uint32_t kPreviewFrames = 3;

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0.0 : values[values.size() / 2];
}

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// What a frame row reads: function, module file name and line entry.
size_t TouchFrame(lldb::SBFrame frame) {
    size_t sink = frame.GetPC();
    if (const char* fn = frame.GetFunctionName()) sink += fn[0];
    lldb::SBModule module = frame.GetModule();
    if (module.IsValid() && module.GetFileSpec().GetFilename() != nullptr) sink += 1;
    lldb::SBLineEntry entry = frame.GetLineEntry();
    if (entry.IsValid()) {
        char path[4096];
        sink += entry.GetLine() + entry.GetColumn() + entry.GetFileSpec().GetPath(path, sizeof path);
    }
    return sink;
}

struct Session {
    HarnessPaths paths = DefaultHarnessPaths();
    LoopbackPlatform platform{paths};
    Debuggee debuggee;
    lldb::SBDebugger debugger;
    lldb::SBListener listener{"floor"};
    lldb::SBTarget target;
    lldb::SBProcess process;

    explicit Session(const std::vector<std::string>& args) : debuggee(paths, "run_control_target", args) {
        debugger = lldb::SBDebugger::Create(false);
        lldb::SBPlatform remote("remote-linux");
        lldb::SBPlatformConnectOptions options(platform.connectUrl().c_str());
        if (remote.ConnectRemote(options).Fail()) return;
        debugger.SetSelectedPlatform(remote);
        debugger.SetAsync(true);
        target = debugger.CreateTarget(nullptr);
        lldb::SBError error;
        process = target.AttachToProcessWithID(listener, static_cast<lldb::pid_t>(debuggee.pid()), error);
        if (lldb::SBDebugger::StateIsRunningState(process.GetState())) process.Stop();
    }
    ~Session() {
        if (process.IsValid()) process.Detach();
        lldb::SBDebugger::Destroy(debugger);
    }
    bool ok() const { return process.IsValid(); }

    // Waits for a stop that LLDB did not resume itself.
    bool WaitForStop() {
        lldb::SBEvent ev;
        while (listener.WaitForEvent(10, ev)) {
            if (!lldb::SBProcess::EventIsProcessEvent(ev)) continue;
            const lldb::StateType state = lldb::SBProcess::GetStateFromEvent(ev);
            if (state == lldb::eStateStopped && !lldb::SBProcess::GetRestartedFromEvent(ev)) return true;
            if (state == lldb::eStateExited || state == lldb::eStateDetached) return false;
        }
        return false;
    }

    // Continue, let it run a moment, and stop again: a fresh stop with cold caches.
    bool FreshStop() {
        if (process.Continue().Fail()) return false;
        lldb::SBEvent ev;
        while (listener.WaitForEvent(10, ev)) {
            if (lldb::SBProcess::GetStateFromEvent(ev) == lldb::eStateRunning) break;
        }
        process.Stop();
        return WaitForStop();
    }
};

double StopLatency() {
    Session s({"hot"});
    if (!s.ok()) return -1;
    s.target.BreakpointCreateByLocation("run_control_target.c", 105);
    std::vector<double> samples;
    size_t sink = 0;
    for (int i = 0; i < kWarmup + kSamples; ++i) {
        const Clock::time_point start = Clock::now();
        if (s.process.Continue().Fail() || !s.WaitForStop()) return -1;
        lldb::SBThread thread = s.process.GetSelectedThread();
        sink += thread.GetStopReason() + thread.GetStopReasonDataAtIndex(0);
        for (uint32_t f = 0; f < kStopFrames; ++f) sink += TouchFrame(thread.GetFrameAtIndex(f));
        sink += thread.GetFrameAtIndex(kStopFrames).IsValid();
        if (i >= kWarmup) samples.push_back(MsSince(start));
    }
    std::fprintf(stderr, "(sink %zu)\n", sink);
    return Median(samples);
}

double ThreadList() {
    Session s({"threads", "64"});
    if (!s.ok()) return -1;
    std::vector<double> samples;
    size_t sink = 0;
    for (int i = 0; i < kWarmup + kSamples; ++i) {
        if (!s.FreshStop()) return -1;
        const Clock::time_point start = Clock::now();
        const uint32_t n = s.process.GetNumThreads();
        for (uint32_t t = 0; t < n; ++t) {
            lldb::SBThread thread = s.process.GetThreadAtIndex(t);
            sink += thread.GetThreadID() + thread.GetIndexID() + thread.GetStopReason();
            if (const char* name = thread.GetName()) sink += name[0];
            if (const char* queue = thread.GetQueueName()) sink += queue[0];
            for (uint32_t f = 0; f < kPreviewFrames; ++f) sink += TouchFrame(thread.GetFrameAtIndex(f));
            sink += thread.GetFrameAtIndex(kPreviewFrames).IsValid();
        }
        if (i >= kWarmup) samples.push_back(MsSince(start));
    }
    std::fprintf(stderr, "(sink %zu)\n", sink);
    return Median(samples);
}

double DeepStack() {
    Session s({"stacks", "200"});
    if (!s.ok()) return -1;
    lldb::tid_t deep = 0;
    for (uint32_t t = 0; t < s.process.GetNumThreads(); ++t) {
        if (s.process.GetThreadAtIndex(t).GetNumFrames() > 150) deep = s.process.GetThreadAtIndex(t).GetThreadID();
    }
    std::vector<double> samples;
    size_t sink = 0;
    for (int i = 0; i < kWarmup + kSamples; ++i) {
        if (!s.FreshStop()) return -1;
        const Clock::time_point start = Clock::now();
        lldb::SBThread thread = s.process.GetThreadByID(deep);
        const uint32_t n = thread.GetNumFrames();
        for (uint32_t f = 0; f < n; ++f) sink += TouchFrame(thread.GetFrameAtIndex(f));
        if (i >= kWarmup) samples.push_back(MsSince(start));
    }
    std::fprintf(stderr, "(sink %zu)\n", sink);
    return Median(samples);
}

}  // namespace

int main() {
    lldb_debug::ApplyProcessEnvPairs(LldbEnvironmentPairs(DefaultHarnessPaths()));
    lldb::SBDebugger::Initialize();
    const double stop = StopLatency();
    const double threads = ThreadList();
    const double stack = DeepStack();
    std::printf("floor stop median_ms=%.4f samples=%d\n", stop, kSamples);
    std::printf("floor threads median_ms=%.4f samples=%d\n", threads, kSamples);
    std::printf("floor stack median_ms=%.4f samples=%d\n", stack, kSamples);
    std::fflush(stdout);
    lldb::SBDebugger::Terminate();
    return (stop < 0 || threads < 0 || stack < 0) ? 1 : 0;
}
