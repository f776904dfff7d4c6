// Model objects of the older Java interface (package org.qzt.kmp.tools.lldb.debug)
// built from engine records. Each returns null when its class is missing or cannot
// be allocated; enum fields hold the constant whose ordinal is the engine's value.
#pragma once

#include <jni.h>

#include <vector>

#include "lldb_debug_records.h"

namespace nativescope {

jobject CreateStopInfo(JNIEnv* env, const lldb_debug::StopInfo& info);
jobject CreateVariable(JNIEnv* env, const lldb_debug::Variable& variable);
// java.util.ArrayList of Variable objects; variables that cannot be made are left out.
jobject CreateList(JNIEnv* env, const std::vector<lldb_debug::Variable>& variables);

jobject CreateProcessInfo(JNIEnv* env, const lldb_debug::ProcessInfo& info);
jobject CreateMemoryBlock(JNIEnv* env, const lldb_debug::MemoryBlock& block);
jobject CreateEvalResult(JNIEnv* env, const lldb_debug::EvalResult& result);
jobject CreateDebugEvent(JNIEnv* env, const lldb_debug::DebugEvent& event);

jobject CreateBreakpointList(JNIEnv* env, const std::vector<lldb_debug::Breakpoint>& breakpoints);
jobject CreateThreadList(JNIEnv* env, const std::vector<lldb_debug::Thread>& threads);
jobject CreateRegisterSetList(JNIEnv* env, const std::vector<lldb_debug::RegisterSet>& sets);

}  // namespace nativescope
