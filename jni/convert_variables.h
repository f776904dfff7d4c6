// Java objects of the newer interface for variables and evaluation: VariableInfo
// (with a freshly registered value handle), FrameVariablesPage, EvaluationResult.
#pragma once

#include <jni.h>

#include <string>
#include <vector>

#include "lldb_debug_engine.h"

namespace nativescope {

// "0x" + lower-case hexadecimal without leading zeros, or "" for address 0.
std::string VariableAddressText(uint64_t address);

// One VariableInfo carrying `valueHandle`; null when the class is missing or cannot be allocated.
jobject CreateSpecVariableInfo(JNIEnv* env, const lldb_debug::Variable& variable, jlong valueHandle);
// VariableInfo[] of `variables`, registering one value handle per record under `engine`.
jobjectArray NewJniVariableInfoArray(JNIEnv* env, const std::vector<lldb_debug::Variable>& variables, jlong engine);
// FrameVariablesPage(totalFiltered, VariableInfo[]); null when a class, the constructor or the array is missing.
jobject CreateFrameVariablesPage(JNIEnv* env, const lldb_debug::DebugEngine::FrameVariablesPageResult& page,
                                 jlong engine);
jobject CreateEvaluationResult(JNIEnv* env, const lldb_debug::EvalResult& result);

}  // namespace nativescope
