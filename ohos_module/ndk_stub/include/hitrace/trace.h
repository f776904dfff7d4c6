// Stand-in for the OpenHarmony NDK header <hitrace/trace.h>.
#ifndef CANVASPORT_NDK_STUB_HITRACE_TRACE_H
#define CANVASPORT_NDK_STUB_HITRACE_TRACE_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

void OH_HiTrace_StartTrace(const char* name);
void OH_HiTrace_FinishTrace(void);
void OH_HiTrace_StartAsyncTrace(const char* name, int32_t taskId);
void OH_HiTrace_FinishAsyncTrace(const char* name, int32_t taskId);

#ifdef __cplusplus
}
#endif

#endif
