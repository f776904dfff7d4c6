// The SBProcess of an engine attached to `pid`, found through LLDB's debugger list,
// so tests and benchmarks can inspect threads and memory beside the engine.
#pragma once

#include <lldb/API/LLDB.h>
#include <sys/types.h>

namespace nativescope_testing {

inline lldb::SBProcess ProcessWithPid(pid_t pid) {
    for (int id = 0; id < 512; ++id) {
        lldb::SBDebugger debugger = lldb::SBDebugger::FindDebuggerWithID(id);
        if (!debugger.IsValid()) continue;
        for (uint32_t t = 0; t < debugger.GetNumTargets(); ++t) {
            lldb::SBProcess process = debugger.GetTargetAtIndex(t).GetProcess();
            if (process.IsValid() && process.GetProcessID() == static_cast<lldb::pid_t>(pid)) return process;
        }
    }
    return {};
}

}  // namespace nativescope_testing
