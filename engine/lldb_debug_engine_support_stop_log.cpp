#include <lldb/API/LLDB.h>

#include <algorithm>
#include <atomic>
#include <cstdio>

#include "diagnostics.h"
#include "env_switches.h"

namespace lldb_debug {
namespace {

std::atomic<int> gStopSeq{0};

const char* OrEmpty(const char* s) { return s != nullptr ? s : ""; }

constexpr uint32_t kSnapshotThreads = 12;
constexpr uint32_t kSnapshotFrames = 16;
constexpr uint32_t kSnapshotVariables = 48;

void LogSnapshotFrame0Variables(lldb::SBFrame frame0, uint32_t threadLoopIndex) {
    lldb::SBValueList vars = frame0.GetVariables(true, true, false, true);
    const uint32_t count = vars.GetSize();
    std::fprintf(stderr, "      frame[0] variables: count=%u (showing up to %u)\n", count, kSnapshotVariables);
    const uint32_t shown = std::min(count, kSnapshotVariables);
    for (uint32_t v = 0; v < shown; ++v) {
        lldb::SBValue value = vars.GetValueAtIndex(v);
        if (!value.IsValid()) continue;
        std::fprintf(stderr,
                     "        [%u] variableId=T%uF%uV%u  name=\"%s\" type=\"%s\" value=\"%s\" GetNumChildren=%u "
                     "MightHaveChildren=%d\n",
                     v, threadLoopIndex, 0u, v, OrEmpty(value.GetName()), OrEmpty(value.GetTypeName()),
                     OrEmpty(value.GetValue()), value.GetNumChildren(), value.MightHaveChildren() ? 1 : 0);
    }
    if (count > kSnapshotVariables) std::fprintf(stderr, "        ... %u variables total\n", count);
}

void LogSnapshotThread(lldb::SBThread& thread, uint32_t loopIndex, lldb::SBThread& selected) {
    const uint32_t numFrames = thread.GetNumFrames();
    const bool isSelected = selected.IsValid() && thread.GetThreadID() == selected.GetThreadID();
    std::fprintf(stderr,
                 "  --- threadIndex=%u lldb_tid=%llu indexID=%u name=\"%s\" stopReason=%d numFrames=%u %s ---\n",
                 loopIndex, static_cast<unsigned long long>(thread.GetThreadID()), thread.GetIndexID(),
                 OrEmpty(thread.GetName()), static_cast<int>(thread.GetStopReason()), numFrames,
                 isSelected ? "[SELECTED]" : "");
    const uint32_t shown = std::min(numFrames, kSnapshotFrames);
    for (uint32_t f = 0; f < shown; ++f) {
        lldb::SBFrame frame = thread.GetFrameAtIndex(f);
        if (!frame.IsValid()) continue;
        std::fprintf(stderr, "      frame[%u] pc=0x%llx", f, static_cast<unsigned long long>(frame.GetPC()));
        if (const char* fn = frame.GetFunctionName()) std::fprintf(stderr, " %s", fn);
        lldb::SBLineEntry entry = frame.GetLineEntry();
        if (entry.IsValid() && entry.GetFileSpec().IsValid()) {
            const char* file = entry.GetFileSpec().GetFilename();
            std::fprintf(stderr, " @ %s:%d", file != nullptr ? file : "?", static_cast<int>(entry.GetLine()));
        }
        std::fprintf(stderr, "\n");
    }
    if (numFrames > kSnapshotFrames) std::fprintf(stderr, "      ... %u frames total\n", numFrames);
    lldb::SBFrame frame0 = thread.GetFrameAtIndex(0);
    if (frame0.IsValid()) LogSnapshotFrame0Variables(frame0, loopIndex);
}

}  // namespace

const char* ProcessStateName(int state) {
    static const char* const kNames[] = {"Invalid",  "Unloaded", "Connected", "Attaching",
                                         "Launching", "Stopped",  "Running",   "Stepping",
                                         "Crashed",  "Detached", "Exited",    "Suspended"};
    return (state >= 0 && state <= 11) ? kNames[state] : "?";
}

void LogStepTimingMs(const char* label, double ms) {
    if (!LldbDebugStepTiming()) return;
    std::fprintf(stderr, "[TIMING][step] %s ms=%.3f\n", label, ms);
    std::fflush(stderr);
}

void LogLineEntryFilespec(const char* tag, int index, const lldb::SBFileSpec& fileSpec,
                          const std::string& resolvedPath) {
    if (static_cast<unsigned>(index) > 16u || !LldbDebugEngineFlow()) return;
    char buffer[4096];
    buffer[0] = '\0';
    const uint32_t len = fileSpec.GetPath(buffer, sizeof buffer);
    const bool present = len != 0 && buffer[0] != '\0';
    std::fprintf(stderr,
                 "[SOURCE_PATH][%s] frame=%d GetPath(%s)=\"%s\" GetDirectory=\"%s\" GetFilename=\"%s\" -> "
                 "resolved=\"%s\"\n",
                 tag, index, present ? "ok" : "empty", present ? buffer : "", OrEmpty(fileSpec.GetDirectory()),
                 OrEmpty(fileSpec.GetFilename()), resolvedPath.c_str());
}

void LogStopSnapshot(lldb::SBProcess& process, const char* tag, lldb::SBThread* triggerThread, int bpHint) {
    if (!LldbDebugStopSnapshot()) return;
    const int n = ++gStopSeq;
    std::fprintf(stderr, "\n========== [LLDB_DEBUG_STOP_SNAPSHOT] #%d tag=%s bp_hint=%d ==========\n", n,
                 tag != nullptr ? tag : "?", bpHint);
    if (!process.IsValid()) {
        std::fprintf(stderr, "  process: INVALID\n");
    } else {
        std::fprintf(stderr, "  process: pid=%llu state=%d (lldb StateType)\n",
                     static_cast<unsigned long long>(process.GetProcessID()), static_cast<int>(process.GetState()));
        lldb::SBThread selected = process.GetSelectedThread();
        if (selected.IsValid()) {
            std::fprintf(stderr, "  selectedThread: lldb_tid=%llu frames=%u\n",
                         static_cast<unsigned long long>(selected.GetThreadID()), selected.GetNumFrames());
        } else {
            std::fprintf(stderr, "  selectedThread: INVALID\n");
        }
        if (triggerThread != nullptr && triggerThread->IsValid()) {
            std::fprintf(stderr, "  triggerThread: lldb_tid=%llu stopReason=%d\n",
                         static_cast<unsigned long long>(triggerThread->GetThreadID()),
                         static_cast<int>(triggerThread->GetStopReason()));
        }
        const uint32_t numThreads = process.GetNumThreads();
        std::fprintf(stderr, "  numThreads=%u\n", numThreads);
        const uint32_t shown = std::min(numThreads, kSnapshotThreads);
        for (uint32_t t = 0; t < shown; ++t) {
            lldb::SBThread thread = process.GetThreadAtIndex(t);
            if (thread.IsValid()) LogSnapshotThread(thread, t, selected);
        }
        if (numThreads > kSnapshotThreads) {
            std::fprintf(stderr, "  ... %u threads total (only first %u dumped)\n", numThreads, kSnapshotThreads);
        }
    }
    std::fprintf(stderr, "========== end snapshot #%d ==========\n\n", n);
    std::fflush(stderr);
}

}  // namespace lldb_debug
