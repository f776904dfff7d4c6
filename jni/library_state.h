// Library-wide state of the JNI layer: the VM, the live engines, the current
// engine of the newer interface, the last messages and the listener slot.
#pragma once

#include <jni.h>

#include <memory>
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
// instead of being dereferenced. A native holds its EngineRef for the whole call,
// so an engine destroyed meanwhile from another thread lives until that call ends.
using EngineRef = std::shared_ptr<lldb_debug::DebugEngine>;

jlong AdoptEngine(std::unique_ptr<lldb_debug::DebugEngine> engine);
EngineRef LiveEngine(jlong handle);
// Removes the handle from the live set, which frees the engine once no native
// holds it any more; false when the handle is unknown.
bool DestroyEngine(jlong handle);

// The current engine when it is still alive, else null.
EngineRef CurrentEngine();

// Empties the listener slot when it belongs to `handle` (or always, with 0):
// drops the global reference and clears the engine's callback.
void ReleaseListenerSlot(JNIEnv* env, jlong handle);

}  // namespace nativescope
