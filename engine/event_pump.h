// Pieces of the event pump that are worth reaching on their own: the choice of
// the stopping thread and the bounded drain of the inferior's output.
#pragma once

#include <cstddef>
#include <functional>
#include <string>

namespace lldb {
class SBEvent;
class SBProcess;
class SBThread;
}  // namespace lldb

namespace lldb_debug {

constexpr size_t kInferiorStdioChunk = 16384;
constexpr size_t kInferiorStdioBudget = 262144;  // per stream and drain

// Picks the thread that caused a stop: the event's thread, else the first thread
// at a breakpoint, else the first with any stop reason, else the selected thread,
// else position 0 (possibly invalid). `verbose` writes the [THREAD_SOURCE] lines.
lldb::SBThread ResolveStoppedThread(lldb::SBProcess& process, const lldb::SBEvent& event, bool verbose);

// Reads at most `size` bytes into `buffer`; 0 when nothing is pending.
using StdioReader = std::function<size_t(char* buffer, size_t size)>;

// Appends what `read` yields to `*out`, never asking for more than the budget
// still allows, so whatever is not taken stays with the reader for the next drain.
// Returns the number of bytes appended.
size_t DrainStdioStream(const StdioReader& read, std::string* out, size_t budget = kInferiorStdioBudget);

// Appends the inferior's pending standard output and error (either may be null).
void DrainInferiorStdio(lldb::SBProcess& process, std::string* out, std::string* err);

}  // namespace lldb_debug
