// The module's system-log writer: hilog type LOG_APP, domain 0, tag "Glintport".
#ifndef CANVASPORT_LOG_H
#define CANVASPORT_LOG_H

#include <hilog/log.h>

namespace canvasport {

// printf-style; the formatted text is logged whole as a public string.
void LogPrint(LogLevel level, const char* format, ...) __attribute__((format(printf, 2, 3)));

#define CANVASPORT_LOGE(...) ::canvasport::LogPrint(LOG_ERROR, __VA_ARGS__)

}  // namespace canvasport

#endif
