// Development stand-in for HiTrace: systrace-format markers appended to the
// file named by CANVASPORT_TRACE_MARKER (a kernel trace_marker works too),
// nothing when the variable is unset.
#include "hitrace/trace.h"

#include <fcntl.h>
#include <unistd.h>

#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

void WriteMarker(const std::string& marker)
{
    const char* path = std::getenv("CANVASPORT_TRACE_MARKER");
    if (path == nullptr || *path == '\0') {
        return;
    }
    int fd = ::open(path, O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return;
    }
    std::string line = marker + "\n";
    // One write per marker: trace_marker takes each write as one event.
    ssize_t ignored = ::write(fd, line.data(), line.size());
    (void)ignored;
    ::close(fd);
}

std::string Marker(char kind, const char* name)
{
    std::string marker(1, kind);
    marker += "|" + std::to_string(::getpid());
    if (name != nullptr) {
        marker += "|";
        marker += name;
    }
    return marker;
}

}  // namespace

extern "C" void OH_HiTrace_StartTrace(const char* name)
{
    WriteMarker(Marker('B', name != nullptr ? name : ""));
}

extern "C" void OH_HiTrace_FinishTrace(void)
{
    WriteMarker(Marker('E', nullptr));
}

extern "C" void OH_HiTrace_StartAsyncTrace(const char* name, int32_t taskId)
{
    WriteMarker(Marker('S', name != nullptr ? name : "") + "|" + std::to_string(taskId));
}

extern "C" void OH_HiTrace_FinishAsyncTrace(const char* name, int32_t taskId)
{
    WriteMarker(Marker('F', name != nullptr ? name : "") + "|" + std::to_string(taskId));
}
