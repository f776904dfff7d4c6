// Performance trace markers through HiTrace.
#include <hitrace/trace.h>

#include <cstdint>

#include "canvasport/canvasport.h"

namespace {

const char* TraceName(int64_t type)
{
    static const char* const kNames[] = {"InitCanvas", "ComposeDrawFrame", "DirectContextFlush", "EglFlush",
                                         "VsyncFrame"};
    uint64_t index = static_cast<uint64_t>(type) - 1000u;
    return index < sizeof(kNames) / sizeof(kNames[0]) ? kNames[index] : "unknown";
}

// HiTrace pairs starts and ends by name and a 32-bit task id.
int32_t TraceTaskId(int64_t taskId)
{
    return static_cast<int32_t>(static_cast<uint32_t>(static_cast<uint64_t>(taskId)));
}

}  // namespace

extern "C" {

void canvasport_performance_trace_start(int64_t type, int64_t taskId)
{
    OH_HiTrace_StartAsyncTrace(TraceName(type), TraceTaskId(taskId));
}

void canvasport_performance_trace_end(int64_t type, int64_t taskId)
{
    OH_HiTrace_FinishAsyncTrace(TraceName(type), TraceTaskId(taskId));
}

void canvasport_performance_sync_trace_start(const char* name)
{
    OH_HiTrace_StartTrace(name != nullptr ? name : "");
}

void canvasport_performance_sync_trace_end(void)
{
    OH_HiTrace_FinishTrace();
}

}  // extern "C"
