#include <lldb/API/LLDB.h>

#include "lldb_debug_engine.h"
#include "path_join.h"

namespace lldb_debug {

int ProcessStateFromLldb(int lldbState) { return (lldbState >= 1 && lldbState <= 11) ? lldbState : 0; }

int StopReasonFromLldb(int lldbReason) {
    switch (lldbReason) {
        case 2:  // trace
        case 8:  // plan complete
            return static_cast<int>(StopReason::Step);
        case 3: return static_cast<int>(StopReason::Breakpoint);
        case 4: return static_cast<int>(StopReason::Watchpoint);
        case 5: return static_cast<int>(StopReason::Signal);
        case 6: return static_cast<int>(StopReason::Exception);
        case 7: return static_cast<int>(StopReason::Exec);
        case 9: return static_cast<int>(StopReason::ThreadExiting);
        default: return static_cast<int>(StopReason::None);
    }
}

std::string JoinDirectoryAndFilename(const char* directory, const char* filename) {
    if (filename == nullptr || filename[0] == '\0') return "";
    if (directory == nullptr || directory[0] == '\0') return filename;
    std::string path = directory;
    const char last = path.back();
    if (last != '/' && last != '\\') path += '/';
    path += filename;
    return path;
}

std::string FileSpecToPath(const lldb::SBFileSpec& spec) {
    if (!spec.IsValid()) return "";
    char buffer[4096];
    buffer[0] = '\0';
    const uint32_t len = spec.GetPath(buffer, sizeof buffer);
    if (len != 0 && buffer[0] != '\0') return buffer;
    return JoinDirectoryAndFilename(spec.GetDirectory(), spec.GetFilename());
}

}  // namespace lldb_debug
