// Conversion of LLDB values into variable records, the expansion rules and the
// visibility filters used when listing frame variables.
#pragma once

#include <lldb/API/LLDB.h>

#include <string>

#include "lldb_debug_records.h"

namespace lldb_debug {

Variable SbValueToVariable(lldb::SBFrame& frame, lldb::SBValue value, const std::string& variableId,
                           const std::string& parentTypeName);
void ApplySbVariableExpandAndCategoryRules(Variable& record, lldb::SBValue& value, VariableCategory category,
                                           const char* staticTypeName);
bool VariableReachedBySourceOrder(lldb::SBFrame& frame, lldb::SBValue& value);
// The same check with the frame's stop position read once for many variables.
struct StopPosition {
    bool valid = false;
    uint32_t line = 0;
    uint32_t column = 0;
    lldb::SBFileSpec file;
};
StopPosition ReadStopPosition(lldb::SBFrame& frame);
bool ReachedBySourceOrder(const StopPosition& stop, lldb::SBValue& value);
ValueType ValueTypeFromLldb(int lldbValueType);

// Lets GCC and Clang check printf-style arguments; MSVC has no such attribute.
#if defined(__GNUC__) || defined(__clang__)
#define LLDB_DEBUG_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define LLDB_DEBUG_PRINTF_FORMAT(fmt, args)
#endif

// Variable-flow and variable-children diagnostics (printf style, standard error).
void LogVariableFlow(const char* format, ...) LLDB_DEBUG_PRINTF_FORMAT(1, 2);
void LogVariableFlowDiag(const char* format, ...) LLDB_DEBUG_PRINTF_FORMAT(1, 2);

}  // namespace lldb_debug
