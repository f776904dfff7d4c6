// Thread, frame and stop-event objects of the newer Java interface
// (org.qzt.kmp.tools.ohos.debugger.jni) built from engine records. A builder whose
// class is missing or whose object cannot be allocated gives null.
#pragma once

#include <jni.h>

#include <cstdint>
#include <vector>

#include "lldb_debug_records.h"

namespace nativescope {

#define WRAPPER_CLASS(simple) "org/qzt/kmp/tools/ohos/debugger/jni/" simple

// One StackFrameInfo; `threadId` goes into its frame handle. The overload with a
// class serves loops that look the class up once.
jobject CreateSpecStackFrameInfo(JNIEnv* env, const lldb_debug::Frame& frame, int32_t threadId);
jobject CreateSpecStackFrameInfo(JNIEnv* env, jclass frameClass, const lldb_debug::Frame& frame, int32_t threadId);

// StackFrameInfo[] with one slot per frame (a frame that cannot be made leaves its
// slot null); null when the class or the array cannot be made.
jobjectArray CreateSpecStackFrameArray(JNIEnv* env, jclass frameClass, const std::vector<lldb_debug::Frame>& frames,
                                       int32_t threadId);

// ThreadInfo[] of the records, marking as current the thread whose id is
// `selectedThreadId`. Local references are released thread by thread, so long
// thread lists do not exhaust the JVM's local reference table.
jobjectArray CreateSpecThreadInfoArray(JNIEnv* env, const std::vector<lldb_debug::Thread>& threads,
                                       int32_t selectedThreadId);

// SpecDebugEvent of an engine event, with its frames as StackFrameInfo objects.
jobject CreateSpecDebugEvent(JNIEnv* env, const lldb_debug::DebugEvent& event);

}  // namespace nativescope
