// Threads and frames: listings with capped frame previews, whole stacks, counts,
// id-to-position look-up, and LLDB's selected thread and frame.
#include <chrono>
#include <cstdio>

#include "diagnostics.h"
#include "engine_impl.h"
#include "env_switches.h"
#include "stack_frames.h"

namespace lldb_debug {
namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) { return KotlinTypeElapsedMs(start, Clock::now()); }

// How a frame-row builder differs from the others.
struct RowStyle {
    const char* label;           // tag of the source-path line
    bool logLineEntry;           // whether this row writes that line
    bool debugInfoNeedsFileSpec; // stop events want a usable file, listings only a line entry
};

bool AppendFrameRow(lldb::SBThread& thread, uint32_t frameIndex, std::vector<Frame>& rows, const RowStyle& style) {
    lldb::SBFrame frame = thread.GetFrameAtIndex(frameIndex);
    if (!frame.IsValid()) return false;
    Frame row;
    row.index = static_cast<int32_t>(frameIndex);
    row.pc = frame.GetPC();
    if (const char* fn = frame.GetFunctionName()) row.functionName = fn;
    lldb::SBModule module = frame.GetModule();
    if (module.IsValid()) {
        lldb::SBFileSpec moduleSpec = module.GetFileSpec();
        if (moduleSpec.IsValid() && moduleSpec.GetFilename() != nullptr) row.module = moduleSpec.GetFilename();
    }
    lldb::SBLineEntry entry = frame.GetLineEntry();
    const bool entryValid = entry.IsValid();
    bool specValid = false;
    if (entryValid) {
        row.line = static_cast<int32_t>(entry.GetLine());
        row.column = static_cast<int32_t>(entry.GetColumn());
        lldb::SBFileSpec spec = entry.GetFileSpec();
        specValid = spec.IsValid();
        if (specValid) {
            row.file = FileSpecToPath(spec);
            if (style.logLineEntry) LogLineEntryFilespec(style.label, static_cast<int>(frameIndex), spec, row.file);
            if (const char* name = spec.GetFilename()) row.filename = name;
        }
    }
    row.hasDebugInfo = style.debugInfoNeedsFileSpec ? (entryValid && specValid) : entryValid;
    rows.push_back(std::move(row));
    return true;
}

bool AppendLldbFrameRow(lldb::SBThread& thread, uint32_t frameIndex, std::vector<Frame>& rows) {
    return AppendFrameRow(thread, frameIndex, rows, {"FillFramesFromThread", frameIndex <= 2, true});
}

bool AppendGetThreadsFrameRow(lldb::SBThread& thread, uint32_t threadPosition, uint32_t frameIndex,
                              std::vector<Frame>& rows) {
    return AppendFrameRow(thread, frameIndex, rows, {"getThreads", threadPosition == 0 && frameIndex <= 2, false});
}

bool AppendGetFramesRow(lldb::SBThread& thread, uint32_t frameIndex, std::vector<Frame>& rows) {
    return AppendFrameRow(thread, frameIndex, rows, {"getFrames", frameIndex <= 2, false});
}

// Collects up to `cap` rows from the top and probes one frame past the cap, so the
// (possibly expensive) full unwind that GetNumFrames implies is never paid for.
// Returns whether the probe found a frame.
template <typename AppendRow>
bool AppendCappedRows(lldb::SBThread& thread, uint32_t cap, std::vector<Frame>& rows, AppendRow append) {
    rows.reserve(cap);
    for (uint32_t i = 0; i < cap; ++i) {
        if (!append(i)) break;
    }
    return thread.GetFrameAtIndex(cap).IsValid();
}

int32_t FindThreadProcessIndexByLldbId(lldb::SBProcess process, int32_t threadId) {
    if (threadId == 0 || !process.IsValid()) return -1;
    const uint32_t n = process.GetNumThreads();
    for (uint32_t i = 0; i < n; ++i) {
        lldb::SBThread thread = process.GetThreadAtIndex(i);
        if (thread.IsValid() && static_cast<int32_t>(thread.GetThreadID()) == threadId) return static_cast<int32_t>(i);
    }
    return -1;
}

void FillThreadMetadataFromSbThread(lldb::SBThread& thread, Thread& out) {
    out.id = static_cast<int32_t>(thread.GetThreadID());
    out.indexId = thread.GetIndexID();
    if (const char* name = thread.GetName()) out.name = name;
    if (const char* queue = thread.GetQueueName()) out.queueName = queue;
    out.stopReason = static_cast<StopReason>(StopReasonFromLldb(static_cast<int>(thread.GetStopReason())));
    out.stopInfo.reason = out.stopReason;
    const size_t data = thread.GetStopReasonDataCount();
    if (data >= 1) out.stopInfo.breakpointId = static_cast<int32_t>(thread.GetStopReasonDataAtIndex(0));
    if (data >= 2) out.stopInfo.watchpointId = static_cast<int32_t>(thread.GetStopReasonDataAtIndex(1));
}

std::vector<Thread> CollectProcessThreads(lldb::SBProcess process, uint32_t maxFramesPerThread, uint32_t maxThreads) {
    const Clock::time_point start = Clock::now();
    std::vector<Thread> result;
    if (!process.IsValid()) return result;
    const uint32_t n = process.GetNumThreads();
    std::fprintf(stderr, "[ENGINE_FLOW][getThreads] numThreads=%u maxFramesPerThread=%u maxThreads=%u\n", n,
                 maxFramesPerThread, maxThreads);
    const uint32_t visited = (maxThreads != 0 && maxThreads < n) ? maxThreads : n;
    result.reserve(visited);
    for (uint32_t position = 0; position < visited; ++position) {
        lldb::SBThread sbThread = process.GetThreadAtIndex(position);
        if (!sbThread.IsValid()) continue;
        Thread thread;
        FillThreadMetadataFromSbThread(sbThread, thread);
        if (maxFramesPerThread != 0) {
            thread.framesTruncated = AppendCappedRows(sbThread, maxFramesPerThread, thread.frames, [&](uint32_t i) {
                return AppendGetThreadsFrameRow(sbThread, position, i, thread.frames);
            });
            thread.totalFrameCount = thread.framesTruncated ? 0 : static_cast<int32_t>(thread.frames.size());
        } else {
            const uint32_t count = sbThread.GetNumFrames();
            thread.totalFrameCount = static_cast<int32_t>(count);
            thread.frames.reserve(count);
            for (uint32_t i = 0; i < count; ++i) AppendGetThreadsFrameRow(sbThread, position, i, thread.frames);
        }
        result.push_back(std::move(thread));
    }
    std::fprintf(stderr, "[ENGINE_FLOW][getThreads] -> threads=%zu\n", result.size());
    LogStepTimingMs("CollectProcessThreads", MsSince(start));
    if (LldbDebugStepTiming()) {
        std::fprintf(stderr, "[TIMING][step] CollectProcessThreads threads=%zu maxFramesPerThread=%u maxThreads=%u\n",
                     result.size(), maxFramesPerThread, maxThreads);
        std::fflush(stderr);
    }
    return result;
}

}  // namespace

void FillFramesFromThread(lldb::SBThread& thread, std::vector<Frame>& frames, uint32_t frameCap,
                          int32_t* totalFrames, bool* truncated) {
    const Clock::time_point start = Clock::now();
    frames.clear();
    if (totalFrames != nullptr) *totalFrames = 0;
    if (truncated != nullptr) *truncated = false;
    if (!thread.IsValid()) return;
    bool cut = false;
    if (frameCap != 0) {
        cut = AppendCappedRows(thread, frameCap, frames,
                               [&](uint32_t i) { return AppendLldbFrameRow(thread, i, frames); });
        if (truncated != nullptr) *truncated = cut;
        if (totalFrames != nullptr) *totalFrames = cut ? 0 : static_cast<int32_t>(frames.size());
    } else {
        const uint32_t n = thread.GetNumFrames();
        if (totalFrames != nullptr) *totalFrames = static_cast<int32_t>(n);
        frames.reserve(n);
        for (uint32_t i = 0; i < n; ++i) AppendLldbFrameRow(thread, i, frames);
    }
    LogStepTimingMs("FillFramesFromThread", MsSince(start));
    if (LldbDebugStepTiming()) {
        std::fprintf(stderr, "[TIMING][step] FillFramesFromThread collected=%zu cap=%u truncated=%d lazy_total=%d\n",
                     frames.size(), frameCap, cut ? 1 : 0, frameCap != 0 ? 1 : 0);
        std::fflush(stderr);
    }
}

std::vector<Thread> DebugEngine::GetThreads() const { return CollectProcessThreads(impl->process, 3, 0); }

std::vector<Thread> DebugEngine::GetThreadsPreview(uint32_t maxThreads) const {
    return CollectProcessThreads(impl->process, 3, maxThreads);
}

std::vector<Thread> DebugEngine::GetThreadsFull() const { return CollectProcessThreads(impl->process, 0, 0); }

std::vector<Frame> DebugEngine::GetFrames(int32_t position) const {
    std::vector<Frame> rows;
    if (!impl->process.IsValid()) return rows;
    lldb::SBThread thread = impl->process.GetThreadAtIndex(static_cast<size_t>(position));
    if (!thread.IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][getFrames] threadIndexId=%d -> invalid thread\n", position);
        return rows;
    }
    const uint32_t n = thread.GetNumFrames();
    rows.reserve(n);
    for (uint32_t i = 0; i < n; ++i) AppendGetFramesRow(thread, i, rows);
    std::fprintf(stderr, "[ENGINE_FLOW][getFrames] threadIndexId=%d lldb_tid=%llu -> frames=%zu\n", position,
                 static_cast<unsigned long long>(thread.GetThreadID()), rows.size());
    return rows;
}

uint32_t DebugEngine::GetThreadCount() const {
    return impl->process.IsValid() ? impl->process.GetNumThreads() : 0;
}

int32_t DebugEngine::ResolveThreadProcessIndexById(int32_t threadId) const {
    return FindThreadProcessIndexByLldbId(impl->process, threadId);
}

uint32_t DebugEngine::GetThreadNumFramesByLldbId(int32_t threadId) const {
    if (threadId == 0 || !impl->process.IsValid()) return 0;
    lldb::SBThread thread = impl->process.GetThreadByID(static_cast<lldb::tid_t>(static_cast<int64_t>(threadId)));
    if (!thread.IsValid()) {
        const int32_t position = FindThreadProcessIndexByLldbId(impl->process, threadId);
        if (position < 0) return 0;
        thread = impl->process.GetThreadAtIndex(static_cast<size_t>(position));
    }
    return thread.IsValid() ? thread.GetNumFrames() : 0;
}

int32_t DebugEngine::GetSelectedThreadId() const {
    if (!impl->process.IsValid()) return 0;
    lldb::SBThread thread = impl->process.GetSelectedThread();
    const int32_t id = thread.IsValid() ? static_cast<int32_t>(thread.GetThreadID()) : 0;
    std::fprintf(stderr, "[ENGINE_FLOW][getSelectedThreadId] -> %d\n", id);
    return id;
}

bool DebugEngine::SetSelectedThread(int32_t position) {
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThread] threadIndexId=%d\n", position);
    if (!impl->process.IsValid()) return false;
    lldb::SBThread thread = impl->process.GetThreadAtIndex(static_cast<size_t>(position));
    if (!thread.IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThread] FAIL invalid threadIndexId\n");
        return false;
    }
    impl->process.SetSelectedThread(thread);
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThread] ok lldb_tid=%llu indexID=%u\n",
                 static_cast<unsigned long long>(thread.GetThreadID()), thread.GetIndexID());
    return true;
}

bool DebugEngine::SetSelectedThreadByThreadId(int32_t threadId) {
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThreadByThreadId] lldb_tid=%d\n", threadId);
    if (threadId == 0 || !impl->process.IsValid()) return false;
    lldb::SBThread thread = impl->process.GetThreadByID(static_cast<lldb::tid_t>(static_cast<int64_t>(threadId)));
    if (!thread.IsValid()) return false;
    impl->process.SetSelectedThread(thread);
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThreadByThreadId] ok indexID=%u\n", thread.GetIndexID());
    return true;
}

bool DebugEngine::SetSelectedThreadByIndexId(int32_t indexId) {
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThreadByIndexId] indexID=%d\n", indexId);
    if (!impl->process.IsValid()) return false;
    const bool ok = impl->process.SetSelectedThreadByIndexID(static_cast<uint32_t>(indexId));
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThreadByIndexId] ok=%d\n", ok ? 1 : 0);
    return ok;
}

bool DebugEngine::SetSelectedFrame(int32_t position, int32_t frameIndex) {
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedFrame] threadIndexId=%d frameIndex=%d\n", position, frameIndex);
    if (!impl->process.IsValid()) return false;
    lldb::SBThread thread = impl->process.GetThreadAtIndex(static_cast<size_t>(position));
    if (!thread.IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][setSelectedFrame] FAIL invalid thread\n");
        return false;
    }
    // The thread stays selected even when the frame turns out invalid.
    impl->process.SetSelectedThread(thread);
    lldb::SBFrame frame = thread.GetFrameAtIndex(static_cast<uint32_t>(frameIndex));
    if (!frame.IsValid()) {
        std::fprintf(stderr, "[ENGINE_FLOW][setSelectedFrame] FAIL invalid frame\n");
        return false;
    }
    thread.SetSelectedFrame(static_cast<uint32_t>(frameIndex));
    const char* fn = frame.GetFunctionName();
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedFrame] ok lldb_tid=%llu pc=0x%llx fn=%s\n",
                 static_cast<unsigned long long>(thread.GetThreadID()), static_cast<unsigned long long>(frame.GetPC()),
                 fn != nullptr ? fn : "?");
    return true;
}

bool DebugEngine::SetSelectedThreadAndFrame(int32_t threadId, int32_t frameIndex) {
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThreadAndFrame] lldb_tid=%d frameIndex=%d\n", threadId, frameIndex);
    if (!SetSelectedThreadByThreadId(threadId)) return false;
    const int32_t position = FindThreadProcessIndexByLldbId(impl->process, threadId);
    if (position == -1) return false;
    const bool ok = SetSelectedFrame(position, frameIndex);
    std::fprintf(stderr, "[ENGINE_FLOW][setSelectedThreadAndFrame] resolved threadIndex=%d ok=%d\n", position,
                 ok ? 1 : 0);
    return ok;
}

}  // namespace lldb_debug
