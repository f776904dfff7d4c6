#include "python_home.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "env_switches.h"

namespace lldb_debug {
namespace {

constexpr const char* kLlvmRelToDeveco = "sdk/default/openharmony/native/llvm";

bool NonEmpty(const char* v) { return v != nullptr && v[0] != '\0'; }

std::string Join(const std::string& a, const std::string& b) {
    return (std::filesystem::path(a) / std::filesystem::path(b)).generic_string();
}

std::string BaseName(const std::string& path) { return std::filesystem::path(path).filename().string(); }

}  // namespace

bool ApplyDefaultPythonHomeFromDeveco(const PythonHomeSeam& seam) {
    if (NonEmpty(seam.getEnv("LLDB_PYTHON_HOME"))) return false;

    std::vector<std::string> roots;
    if (const char* r = seam.getEnv("LLDB_ROOT"); NonEmpty(r)) roots.emplace_back(r);
    if (const char* d = seam.getEnv("DEVECO_STUDIO_HOME"); NonEmpty(d)) roots.push_back(Join(d, kLlvmRelToDeveco));

    for (const std::string& root : roots) {
        const std::string pythonHome = Join(root, "python3");
        if (!seam.isDirectory(root) || !seam.isDirectory(pythonHome)) continue;
        seam.setEnv("LLDB_PYTHON_HOME", pythonHome);
        const std::string lib = Join(Join(Join(root, "bin"), "python"), "lib");
        if (seam.isDirectory(lib)) {
            for (const std::string& entry : seam.listDirectory(lib)) {
                const std::string name = BaseName(entry);
                if (name.size() > 8 && name.compare(0, 8, "python3.") == 0 && seam.isDirectory(entry)) {
                    seam.setEnv("PYTHONPATH", entry);
                    break;
                }
            }
        }
        if (FlagValueOn(seam.getEnv("LLDB_DEBUG_ENGINE_FLOW"))) {
            std::fprintf(stderr,
                         "[ENGINE_FLOW][ApplyDefaultWindowsPythonHomeFromDeveco] llvm_root=%s LLDB_PYTHON_HOME=%s\n",
                         root.c_str(), pythonHome.c_str());
            std::fflush(stderr);
        }
        return true;
    }
    return false;
}

PythonHomeSeam SystemPythonHomeSeam() {
    PythonHomeSeam seam;
    seam.getEnv = [](const char* name) { return static_cast<const char*>(std::getenv(name)); };
    seam.setEnv = [](const char* name, const std::string& value) { SetProcessEnv(name, value.c_str()); };
    seam.isDirectory = [](const std::string& path) {
        std::error_code ec;
        return std::filesystem::is_directory(std::filesystem::u8path(path), ec);  // follows links
    };
    seam.listDirectory = [](const std::string& path) {
        std::vector<std::string> entries;
        std::error_code ec;
        for (std::filesystem::directory_iterator it(std::filesystem::u8path(path), ec), end; !ec && it != end;
             it.increment(ec)) {
            entries.push_back(it->path().u8string());
        }
        return entries;
    };
    return seam;
}

}  // namespace lldb_debug
