// Development stand-in for hilog: one line per call on standard error,
// "L/TAG: text", written with a single write() so lines from different
// threads never interleave.
#include "hilog/log.h"

#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>

namespace {

char LevelLetter(LogLevel level)
{
    switch (level) {
        case LOG_DEBUG: return 'D';
        case LOG_INFO: return 'I';
        case LOG_WARN: return 'W';
        case LOG_ERROR: return 'E';
        case LOG_FATAL: return 'F';
    }
    return '?';
}

// hilog marks each conversion "%{public}s" or "%{private}s"; printf knows
// neither, so the flags are dropped before formatting.
std::string StripPrivacyFlags(const char* fmt)
{
    std::string out;
    for (const char* p = fmt; *p != '\0'; ++p) {
        out.push_back(*p);
        if (*p != '%') {
            continue;
        }
        if (p[1] == '%') {
            out.push_back(*++p);
            continue;
        }
        for (const char* flag : {"{public}", "{private}"}) {
            size_t n = std::strlen(flag);
            if (std::strncmp(p + 1, flag, n) == 0) {
                p += n;
                break;
            }
        }
    }
    return out;
}

void WriteAll(int fd, const char* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            return;
        }
        data += n;
        size -= static_cast<size_t>(n);
    }
}

}  // namespace

extern "C" int OH_LOG_Print(LogType /*type*/, LogLevel level, unsigned int /*domain*/, const char* tag,
                            const char* fmt, ...)
{
    if (fmt == nullptr) {
        return -1;
    }
    std::string format = StripPrivacyFlags(fmt);

    va_list args;
    va_start(args, fmt);
    va_list measure;
    va_copy(measure, args);
    int length = std::vsnprintf(nullptr, 0, format.c_str(), measure);
    va_end(measure);
    if (length < 0) {
        va_end(args);
        return -1;
    }
    std::string line;
    line.push_back(LevelLetter(level));
    line.push_back('/');
    line.append(tag != nullptr ? tag : "");
    line.append(": ");
    size_t textStart = line.size();
    line.resize(textStart + static_cast<size_t>(length) + 1);
    std::vsnprintf(&line[textStart], static_cast<size_t>(length) + 1, format.c_str(), args);
    va_end(args);
    line.back() = '\n';
    WriteAll(STDERR_FILENO, line.data(), line.size());
    return static_cast<int>(line.size());
}
