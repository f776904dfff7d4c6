#include "log.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

#include "canvasport/canvasport.h"

namespace canvasport {

namespace {
constexpr char kLogTag[] = "Glintport";

void LogText(LogLevel level, const char* text)
{
    OH_LOG_Print(LOG_APP, level, 0, kLogTag, "%{public}s", text != nullptr ? text : "");
}
}  // namespace

void LogPrint(LogLevel level, const char* format, ...)
{
    va_list args;
    va_start(args, format);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format, measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return;
    }
    char* text = static_cast<char*>(std::malloc(static_cast<size_t>(length) + 1));
    if (text == nullptr) {
        va_end(args);
        return;
    }
    std::vsnprintf(text, static_cast<size_t>(length) + 1, format, args);
    va_end(args);
    LogText(level, text);
    std::free(text);
}

}  // namespace canvasport

// The exported functions take no format arguments: a '%' in the message is
// logged as it stands.
extern "C" {

void canvasport_compose_logD(const char* message)
{
    canvasport::LogText(LOG_DEBUG, message);
}

void canvasport_compose_logI(const char* message)
{
    canvasport::LogText(LOG_INFO, message);
}

void canvasport_compose_logW(const char* message)
{
    canvasport::LogText(LOG_WARN, message);
}

void canvasport_compose_logE(const char* message)
{
    canvasport::LogText(LOG_ERROR, message);
}

}  // extern "C"
