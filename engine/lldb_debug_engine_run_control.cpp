// Run control: continue, stop, the steps and run-to-address. The debugger is
// asynchronous after an attach, so each operation only starts the action; the
// resulting stop comes through the event pump.
#include <chrono>
#include <cstdio>
#include <thread>

#include "diagnostics.h"
#include "engine_impl.h"
#include "env_switches.h"
#include "run_control.h"

namespace lldb_debug {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kStopPollBudgetMs = 5000;
constexpr int kStopPollSleepMs = 10;
// Other threads run only while the step needs them to.
constexpr lldb::RunMode kOnlyDuringStepping = lldb::eOnlyDuringStepping;

double MsSince(Clock::time_point start) { return KotlinTypeElapsedMs(start, Clock::now()); }

const char* ErrorText(const lldb::SBError& error) {
    if (error.Success()) return "ok";
    const char* text = error.GetCString();
    return text != nullptr ? text : "?";
}

unsigned long long Tid(const lldb::SBThread& thread) {
    return thread.IsValid() ? static_cast<unsigned long long>(thread.GetThreadID()) : 0ull;
}

// Polls until the process rests (stopped or crashed); gives up at once when it
// is gone, and after the budget otherwise.
bool PollUntilStopped(lldb::SBProcess& process) {
    for (int i = 0; i < kStopPollBudgetMs / kStopPollSleepMs; ++i) {
        const lldb::StateType state = process.GetState();
        if (state == lldb::eStateStopped || state == lldb::eStateCrashed) return true;
        if (state == lldb::eStateInvalid || state == lldb::eStateDetached || state == lldb::eStateExited) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(kStopPollSleepMs));
    }
    return false;
}

}  // namespace

lldb::SBThread ResolveSbThreadForStep(lldb::SBProcess& process, int64_t threadId) {
    if (threadId != 0) {
        lldb::SBThread byId = process.GetThreadByID(static_cast<lldb::tid_t>(threadId));
        if (byId.IsValid()) return byId;
        const uint32_t n = process.GetNumThreads();
        for (uint32_t i = 0; i < n; ++i) {
            lldb::SBThread thread = process.GetThreadAtIndex(i);
            if (thread.IsValid() && thread.GetThreadID() == static_cast<lldb::tid_t>(threadId)) return thread;
        }
    }
    lldb::SBThread selected = process.GetSelectedThread();
    if (selected.IsValid()) return selected;
    return process.GetThreadAtIndex(0);
}

void EnsureStoppedBeforeStepOps(lldb::SBProcess& process, const char* opName) {
    const Clock::time_point start = Clock::now();
    const int state = static_cast<int>(process.GetState());
    const bool running = lldb::SBDebugger::StateIsRunningState(static_cast<lldb::StateType>(state));
    std::fprintf(stderr, "[ENGINE_FLOW][%s] pre-step processState=%d (%s) runningOrStepping=%d\n", opName, state,
                 ProcessStateName(state), running ? 1 : 0);
    if (!running) {
        LogStepTimingMs("EnsureStoppedBeforeStepOps.already_stopped", MsSince(start));
        return;
    }
    std::fprintf(stderr, "[ENGINE_FLOW][%s] process RUNNING/STEPPING; Stop() then poll up to %dms\n", opName,
                 kStopPollBudgetMs);
    const Clock::time_point pollStart = Clock::now();
    process.Stop();
    const bool stopped = PollUntilStopped(process);
    LogStepTimingMs("EnsureStoppedBeforeStepOps.poll", MsSince(pollStart));
    if (stopped) {
        std::fprintf(stderr, "[ENGINE_FLOW][%s] PollUntilStopped OK\n", opName);
    } else {
        const int now = static_cast<int>(process.GetState());
        std::fprintf(stderr, "[ENGINE_FLOW][%s] WARN still not stopped after poll: state=%d (%s)\n", opName, now,
                     ProcessStateName(now));
    }
    LogStepTimingMs("EnsureStoppedBeforeStepOps", MsSince(start));
}

namespace {

// Target valid, process adopted from the target and valid.
bool Prologue(DebugEngine& engine, DebugEngine::Impl& impl) {
    if (!impl.target.IsValid()) return false;
    engine.SyncProcessFromTarget();
    return impl.process.IsValid();
}

// LLDB finishes a stop only when its event is taken off the listener; a step
// started before that can be swallowed by the late processing of the stop and
// never complete. So the stop forced before a step is taken here (its running
// predecessors with it); the step's own stop follows through the pump as usual.
void TakeForcedStopEvent(DebugEngine::Impl& impl) {
    lldb::SBBroadcaster broadcaster = impl.process.GetBroadcaster();
    lldb::SBEvent ev;
    const auto deadline = Clock::now() + std::chrono::milliseconds(kStopPollBudgetMs);
    while (Clock::now() < deadline &&
           impl.listener.WaitForEventForBroadcasterWithType(1, broadcaster, lldb::SBProcess::eBroadcastBitStateChanged, ev)) {
        const lldb::StateType state = lldb::SBProcess::GetStateFromEvent(ev);
        if (!lldb::SBDebugger::StateIsRunningState(state) && !lldb::SBProcess::GetRestartedFromEvent(ev)) return;
    }
}

// Prologue, stop-before-step and thread choice shared by every step; an invalid
// result means "do not step".
lldb::SBThread PrepareStep(DebugEngine& engine, DebugEngine::Impl& impl, const char* opName, int64_t threadId,
                           bool* ready) {
    *ready = Prologue(engine, impl);
    if (!*ready) return lldb::SBThread();
    const bool wasRunning = lldb::SBDebugger::StateIsRunningState(impl.process.GetState());
    EnsureStoppedBeforeStepOps(impl.process, opName);
    if (wasRunning) TakeForcedStopEvent(impl);
    lldb::SBThread thread = ResolveSbThreadForStep(impl.process, threadId);
    if (threadId != 0 && thread.IsValid()) impl.process.SetSelectedThread(thread);
    return thread;
}

}  // namespace

bool DebugEngine::ContinueProcess(int64_t threadId) {
    std::fprintf(stderr, "[ENGINE_FLOW][continueProcess] threadId_arg=%lld\n", static_cast<long long>(threadId));
    if (!Prologue(*this, *impl)) return false;
    if (threadId != 0) {
        lldb::SBThread thread = impl->process.GetThreadByID(static_cast<lldb::tid_t>(threadId));
        if (thread.IsValid()) impl->process.SetSelectedThread(thread);
    }
    lldb::SBError error = impl->process.Continue();
    std::fprintf(stderr, "[ENGINE_FLOW][continueProcess] ok=%d selected_lldb_tid=%llu err=%s\n",
                 error.Success() ? 1 : 0, Tid(impl->process.GetSelectedThread()), ErrorText(error));
    return error.Success();
}

bool DebugEngine::ContinueProcess() { return ContinueProcess(0); }

bool DebugEngine::StopProcess() {
    std::fprintf(stderr, "[ENGINE_FLOW][stopProcess]\n");
    if (!impl->process.IsValid()) return false;
    lldb::SBError error = impl->process.Stop();
    std::fprintf(stderr, "[ENGINE_FLOW][stopProcess] ok=%d\n", error.Success() ? 1 : 0);
    return error.Success();
}

bool DebugEngine::StopProcess(int) { return StopProcess(); }

bool DebugEngine::StepOver(int64_t threadId) {
    const Clock::time_point start = Clock::now();
    std::fprintf(stderr, "[ENGINE_FLOW][stepOver] threadId_arg=%lld (GetThreadByID vs selected)\n",
                 static_cast<long long>(threadId));
    bool ready = false;
    lldb::SBThread thread = PrepareStep(*this, *impl, "stepOver", threadId, &ready);
    if (!ready) return false;
    if (!thread.IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][stepOver] FAIL no valid SBThread after resolve\n");
        return false;
    }
    lldb::SBError error;
    thread.StepOver(kOnlyDuringStepping, error);
    std::fprintf(stderr, "[ENGINE_FLOW][stepOver] ok=%d lldb_tid=%llu err=%s\n", error.Success() ? 1 : 0, Tid(thread),
                 ErrorText(error));
    LogStepTimingMs("StepOver", MsSince(start));
    return error.Success();
}

bool DebugEngine::StepOver() { return StepOver(0); }

bool DebugEngine::StepInto(int64_t threadId) {
    const Clock::time_point start = Clock::now();
    std::fprintf(stderr, "[ENGINE_FLOW][stepInto] threadId_arg=%lld -> resolve thread then StepInto\n",
                 static_cast<long long>(threadId));
    bool ready = false;
    lldb::SBThread thread = PrepareStep(*this, *impl, "stepInto", threadId, &ready);
    if (!ready) return false;
    if (!thread.IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][stepInto] FAIL no valid thread\n");
        return false;
    }
    thread.StepInto(kOnlyDuringStepping);
    // Asynchronous: this is the frame the step started from.
    lldb::SBFrame frame = thread.GetSelectedFrame();
    const char* fn = frame.IsValid() ? frame.GetFunctionName() : nullptr;
    std::fprintf(stderr,
                 "[ENGINE_FLOW][stepInto] done lldb_tid=%llu pc=0x%llx frame0_fn=%s (async; wait waitForEvent for "
                 "stop)\n",
                 Tid(thread), frame.IsValid() ? static_cast<unsigned long long>(frame.GetPC()) : 0ull,
                 fn != nullptr ? fn : "?");
    LogStepTimingMs("StepInto", MsSince(start));
    return true;
}

bool DebugEngine::StepInto() { return StepInto(0); }

bool DebugEngine::StepOut(int64_t threadId) {
    std::fprintf(stderr, "[ENGINE_FLOW][stepOut] threadId_arg=%lld\n", static_cast<long long>(threadId));
    bool ready = false;
    lldb::SBThread thread = PrepareStep(*this, *impl, "stepOut", threadId, &ready);
    if (!thread.IsValid()) return false;
    lldb::SBError error;
    thread.StepOut(error);
    std::fprintf(stderr, "[ENGINE_FLOW][stepOut] ok=%d lldb_tid=%llu\n", error.Success() ? 1 : 0, Tid(thread));
    return error.Success();
}

// The form without a thread takes the selected thread, else position 0: exactly
// what the resolver does for id 0.
bool DebugEngine::StepOut() { return StepOut(0); }

namespace {

// One machine instruction on the resolved thread, into calls or over them.
bool StepOneInstruction(DebugEngine& engine, DebugEngine::Impl& impl, int64_t threadId, bool over) {
    const char* tag = over ? "stepInstructionOver/nexti" : "stepInstructionInto/stepi";
    std::fprintf(stderr, "[ENGINE_FLOW][%s] threadId_arg=%lld\n", tag, static_cast<long long>(threadId));
    bool ready = false;
    lldb::SBThread thread =
        PrepareStep(engine, impl, over ? "stepInstructionOver" : "stepInstructionInto", threadId, &ready);
    if (!thread.IsValid()) return false;
    thread.StepInstruction(over);
    std::fprintf(stderr, "[ENGINE_FLOW][%s] sent lldb_tid=%llu\n", tag, Tid(thread));
    return true;
}

}  // namespace

bool DebugEngine::StepInstructionInto(int64_t threadId) { return StepOneInstruction(*this, *impl, threadId, false); }
bool DebugEngine::StepInstructionInto() { return StepInstructionInto(0); }
bool DebugEngine::StepInstructionOver(int64_t threadId) { return StepOneInstruction(*this, *impl, threadId, true); }
bool DebugEngine::StepInstructionOver() { return StepInstructionOver(0); }

bool DebugEngine::RunToAddress(uint64_t address, int64_t threadId) {
    if (!Prologue(*this, *impl) || address == 0) return false;
    // A running process cannot be continued, and placing a breakpoint in one makes
    // LLDB interrupt it behind the pump's back (and can leave it unstoppable).
    if (lldb::SBDebugger::StateIsRunningState(impl->process.GetState())) return false;
    lldb::SBThread thread = ResolveSbThreadForStep(impl->process, threadId);
    if (threadId != 0 && thread.IsValid()) impl->process.SetSelectedThread(thread);
    lldb::SBBreakpoint bp = impl->target.BreakpointCreateByAddress(address);
    if (!bp.IsValid()) return false;
    bp.SetOneShot(true);
    bp.SetAutoContinue(false);
    lldb::SBError error = impl->process.Continue();
    // A failed continue must not leave a one-shot breakpoint behind.
    if (error.Fail()) impl->target.BreakpointDelete(bp.GetID());
    return error.Success();
}

}  // namespace lldb_debug
