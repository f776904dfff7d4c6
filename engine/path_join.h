#pragma once

#include <string>

namespace lldb_debug {

// Directory + file name the way source paths are rebuilt when LLDB gives no full path:
// no second separator after a trailing '/' or '\\'; empty name gives "".
std::string JoinDirectoryAndFilename(const char* directory, const char* filename);

}  // namespace lldb_debug
