// Tagged diagnostic lines on standard error: step timing, source paths, stop snapshot.
#pragma once

#include <string>

namespace lldb {
class SBFileSpec;
class SBProcess;
class SBThread;
}  // namespace lldb

namespace lldb_debug {

void LogStepTimingMs(const char* label, double ms);
void LogLineEntryFilespec(const char* tag, int index, const lldb::SBFileSpec& fileSpec,
                          const std::string& resolvedPath);
void LogStopSnapshot(lldb::SBProcess& process, const char* tag, lldb::SBThread* triggerThread, int bpHint);

// Text of a ProcessState number for log lines ("?" outside 0..11).
const char* ProcessStateName(int state);

}  // namespace lldb_debug
