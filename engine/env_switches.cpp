#include "env_switches.h"

#include <cstdlib>
#include <cstring>

namespace lldb_debug {

bool FlagValueOn(const char* value) { return value != nullptr && value[0] != '\0' && value[0] != '0'; }

bool OffSwitchValueOn(const char* value) { return value == nullptr || std::strcmp(value, "0") != 0; }

uint64_t NumberValueOr(const char* value, uint64_t fallback) {
    if (value == nullptr) return fallback;
    return std::strtoull(value, nullptr, 0);
}

bool VarChildrenDiagValueOn(const char* skylarkValue, const char* variableFlowValue) {
    if (skylarkValue != nullptr &&
        (std::strcmp(skylarkValue, "1") == 0 || skylarkValue[0] == 'y' || skylarkValue[0] == 'Y')) {
        return true;
    }
    return FlagValueOn(variableFlowValue);
}

bool EnvFlag(const char* name) { return FlagValueOn(std::getenv(name)); }
bool EnvOffSwitch(const char* name) { return OffSwitchValueOn(std::getenv(name)); }
uint64_t EnvNumber(const char* name, uint64_t fallback) { return NumberValueOr(std::getenv(name), fallback); }

bool LldbDebugEngineFlow() { return true; }
bool LldbDebugStepTiming() { return EnvFlag("LLDB_DEBUG_STEP_TIMING"); }
bool LldbDebugThreadSource() { return EnvFlag("LLDB_DEBUG_THREAD_SOURCE"); }
bool LldbDebugStopSnapshot() { return EnvFlag("LLDB_DEBUG_STOP_SNAPSHOT"); }
bool LldbDebugChildFetchTiming() { return EnvFlag("LLDB_DEBUG_CHILD_FETCH_TIMING"); }
bool LldbDebugVariableFlow() { return EnvFlag("LLDB_DEBUG_VARIABLE_FLOW"); }
bool VariableDiagVerbose() {
    return VarChildrenDiagValueOn(std::getenv("SKYLARK_DIAG_VAR_CHILDREN"), std::getenv("LLDB_DEBUG_VARIABLE_FLOW"));
}
bool LldbDebugSbvalueToVarTiming() { return EnvFlag("LLDB_DEBUG_SBVALUE_TO_VAR_TIMING"); }
bool LldbDebugKotlinTypeResolve() { return EnvFlag("LLDB_DEBUG_KOTLIN_TYPE_RESOLVE"); }
bool LldbKotlinRuntimeTypeEnabled() { return EnvOffSwitch("LLDB_KOTLIN_RUNTIME_TYPE"); }
bool LldbKotlinMemoryFqcnEnabled() { return EnvOffSwitch("LLDB_KOTLIN_MEMORY_FQCN"); }

double KotlinTypeElapsedMs(std::chrono::steady_clock::time_point start,
                           std::chrono::steady_clock::time_point end) {
    return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(end - start).count()) /
           1000000.0;
}

void SetProcessEnv(const char* name, const char* value) {
#ifdef _WIN32
    _putenv_s(name, value);
#else
    setenv(name, value, 1);
#endif
}

}  // namespace lldb_debug
