// Thread choice and the stop-before-step guard shared by run control and the
// machine-level views.
#pragma once

#include <cstdint>

namespace lldb {
class SBProcess;
class SBThread;
}  // namespace lldb

namespace lldb_debug {

// The thread a step (or a disassembly) works on: by LLDB thread id when one is
// given and found, else the selected thread, else the thread at position 0.
// The result may be invalid.
lldb::SBThread ResolveSbThreadForStep(lldb::SBProcess& process, int64_t threadId);

// Stops a running process and polls up to 5000 ms for it to come to rest; the
// caller steps afterwards in every case. `opName` tags the log lines.
void EnsureStoppedBeforeStepOps(lldb::SBProcess& process, const char* opName);

}  // namespace lldb_debug
