// Bounded waiting on the engine's event pump, and the fixed lines of the
// run_control_target fixture.
#pragma once

#include <chrono>
#include <functional>
#include <vector>

#include "lldb_debug_engine.h"

namespace nativescope_testing {

namespace fixture_lines {
constexpr int kLeafBody = 101;
constexpr int kHotLoop = 105;
constexpr int kHotCall = 106;
constexpr int kHotAfterCall = 107;
constexpr int kDeepBottom = 201;
constexpr int kShallowLoop = 303;
}  // namespace fixture_lines

inline bool AtRest(const lldb_debug::DebugEvent& e) {
    using lldb_debug::ProcessState;
    return e.newState == ProcessState::Stopped || e.newState == ProcessState::Exited ||
           e.newState == ProcessState::Crashed || e.newState == ProcessState::Detached;
}

// Pumps events (one-second waits, never longer than `seconds` in all) until one
// satisfies `wanted`; every event seen before it is appended to `skipped`.
inline bool NextEventWhere(lldb_debug::DebugEngine& engine, lldb_debug::DebugEvent& out,
                           const std::function<bool(const lldb_debug::DebugEvent&)>& wanted, int seconds = 15,
                           std::vector<lldb_debug::DebugEvent>* skipped = nullptr) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        if (!engine.WaitForEvent(1, out)) continue;
        if (wanted(out)) return true;
        if (skipped != nullptr) skipped->push_back(out);
    }
    return false;
}

// The next stop, exit, crash or detach.
inline bool NextRest(lldb_debug::DebugEngine& engine, lldb_debug::DebugEvent& out, int seconds = 15,
                     std::vector<lldb_debug::DebugEvent>* skipped = nullptr) {
    return NextEventWhere(engine, out, AtRest, seconds, skipped);
}

// Resumes the process and waits until the pump reports it running.
inline bool ContinueUntilRunning(lldb_debug::DebugEngine& engine) {
    lldb_debug::DebugEvent ev;
    return engine.ContinueProcess() &&
           NextEventWhere(engine, ev, [](const lldb_debug::DebugEvent& x) {
               return x.newState == lldb_debug::ProcessState::Running;
           });
}

}  // namespace nativescope_testing
