#include "python_symbols.h"

#if defined(__linux__)
#include <dlfcn.h>
#include <link.h>

#include <cstring>
#include <string>
#endif

namespace lldb_debug {

#if defined(__linux__)
namespace {
int FindLibpython(struct dl_phdr_info* info, size_t, void* data) {
    const char* name = info->dlpi_name;
    if (name != nullptr && std::strstr(name, "libpython3") != nullptr) {
        *static_cast<std::string*>(data) = name;
        return 1;
    }
    return 0;
}
}  // namespace

bool PromoteLoadedLibpythonToGlobal() {
    std::string path;
    dl_iterate_phdr(FindLibpython, &path);
    if (path.empty()) return false;
    // RTLD_NOLOAD: only changes the flags of the already loaded copy. The handle is
    // kept on purpose so the library stays global for the life of the process.
    return dlopen(path.c_str(), RTLD_NOLOAD | RTLD_NOW | RTLD_GLOBAL) != nullptr;
}
#else
bool PromoteLoadedLibpythonToGlobal() { return false; }
#endif

}  // namespace lldb_debug
