// Environment switches. They are read with getenv at every use and never cached,
// so the Java side can flip them at run time through the environment handover.
#pragma once

#include <chrono>
#include <cstdint>

namespace lldb_debug {

// Reading rules over a raw value (nullptr = unset).
bool FlagValueOn(const char* value);           // set, non-empty, first char not '0'
bool OffSwitchValueOn(const char* value);      // on unless exactly "0"
uint64_t NumberValueOr(const char* value, uint64_t fallback);  // strtoull base 0
bool VarChildrenDiagValueOn(const char* skylarkValue, const char* variableFlowValue);

bool EnvFlag(const char* name);
bool EnvOffSwitch(const char* name);
uint64_t EnvNumber(const char* name, uint64_t fallback);

bool LldbDebugEngineFlow();
bool LldbDebugStepTiming();
bool LldbDebugThreadSource();
bool LldbDebugStopSnapshot();
bool LldbDebugChildFetchTiming();
bool LldbDebugVariableFlow();
bool VariableDiagVerbose();
bool LldbDebugSbvalueToVarTiming();
bool LldbDebugKotlinTypeResolve();
bool LldbKotlinRuntimeTypeEnabled();
bool LldbKotlinMemoryFqcnEnabled();

double KotlinTypeElapsedMs(std::chrono::steady_clock::time_point start,
                           std::chrono::steady_clock::time_point end);

// Sets one variable in the host process environment, overwriting.
void SetProcessEnv(const char* name, const char* value);

}  // namespace lldb_debug
