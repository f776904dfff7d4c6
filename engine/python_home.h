// Default Python home for LLDB's script interpreter, found inside a DevEco Studio
// installation. Only the Windows build calls it; the environment and file-system
// access go through a seam so the search itself is portable and testable.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace lldb_debug {

struct PythonHomeSeam {
    std::function<const char*(const char*)> getEnv;
    std::function<void(const char*, const std::string&)> setEnv;
    std::function<bool(const std::string&)> isDirectory;  // non-throwing; errors count as "no"
    // Entries of a directory in iteration order, as full paths; empty on error.
    std::function<std::vector<std::string>(const std::string&)> listDirectory;
};

// Returns true when it chose a Python home (and set LLDB_PYTHON_HOME).
bool ApplyDefaultPythonHomeFromDeveco(const PythonHomeSeam& seam);

// The real seam over the process environment and std::filesystem.
PythonHomeSeam SystemPythonHomeSeam();

}  // namespace lldb_debug
