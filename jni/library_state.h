// Library-wide state of the JNI layer: the VM, the live engines, the current
// engine of the newer interface, the last messages and the listener slot.
#pragma once

#include <jni.h>

#include <string>

#include "lldb_debug_engine.h"

namespace nativescope {

extern JavaVM* g_jvm;
extern std::string g_lastAttachError;
extern std::string g_lastInterpreterOutput;
extern std::string g_specPlatformName;
extern jlong g_specEngineHandle;

// The older interface's single listener slot.
extern jlong g_listenerHandle;
extern jobject g_listenerRef;
extern jmethodID g_onEventMid;

// Engines are only reached through handles that initDebugger/nCreate handed out
// and that were not destroyed since: anything else (0, stale, garbage) is refused
// instead of being dereferenced.
jlong AdoptEngine(lldb_debug::DebugEngine* engine);
lldb_debug::DebugEngine* LiveEngine(jlong handle);
// Removes the handle from the live set and frees the engine; false when unknown.
bool DestroyEngine(jlong handle);

// The current engine when it is still alive, else null.
lldb_debug::DebugEngine* CurrentEngine();

// Empties the listener slot when it belongs to `handle` (or always, with 0):
// drops the global reference and clears the engine's callback.
void ReleaseListenerSlot(JNIEnv* env, jlong handle);

}  // namespace nativescope
