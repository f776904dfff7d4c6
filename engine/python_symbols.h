#pragma once

namespace lldb_debug {

// A JVM loads native libraries with local symbol visibility, so the libpython that
// liblldb pulled in cannot serve Python's C extension modules (ctypes and friends
// fail with undefined PyTuple_Type). Re-opening that library with RTLD_GLOBAL fixes
// it. Returns true when a loaded libpython was promoted; a no-op elsewhere.
bool PromoteLoadedLibpythonToGlobal();

}  // namespace lldb_debug
