// Stand-in for the OpenHarmony NDK header <hilog/log.h>: same types and
// signature, so the real NDK replaces it without source changes.
#ifndef CANVASPORT_NDK_STUB_HILOG_LOG_H
#define CANVASPORT_NDK_STUB_HILOG_LOG_H

#ifdef __cplusplus
extern "C" {
#endif

typedef enum {
    LOG_APP = 0,
} LogType;

typedef enum {
    LOG_DEBUG = 3,
    LOG_INFO = 4,
    LOG_WARN = 5,
    LOG_ERROR = 6,
    LOG_FATAL = 7,
} LogLevel;

// Formats like printf, accepting hilog's "{public}"/"{private}" flags after '%'.
int OH_LOG_Print(LogType type, LogLevel level, unsigned int domain, const char* tag, const char* fmt, ...);

#ifdef __cplusplus
}
#endif

#endif
