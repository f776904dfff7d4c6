// Natives of the older interface lldb.debug.LldbDebugEngine: the engine's
// operations one to one, model objects of org.qzt.kmp.tools.lldb.debug, and the
// library's single event-listener slot. Every native takes the engine handle
// first; a handle that names no live engine gives the native's failure value.
#include <jni.h>

#include "convert_legacy.h"
#include "jni_support.h"
#include "library_state.h"

using lldb_debug::DebugEngine;
using namespace nativescope;

namespace {

jboolean ToJboolean(bool value) { return value ? JNI_TRUE : JNI_FALSE; }

template <typename R, typename Body>
R WithEngine(jlong handle, R failure, Body&& body) {
    return Guarded<R>(failure, [&]() -> R {
        const EngineRef engine = LiveEngine(handle);
        return engine != nullptr ? static_cast<R>(body(*engine)) : failure;
    });
}

template <typename Body>
jboolean BoolNative(jlong handle, Body&& body) {
    return WithEngine<jboolean>(handle, JNI_FALSE, [&](DebugEngine& engine) { return ToJboolean(body(engine)); });
}

template <typename Body>
jobject ObjectNative(jlong handle, Body&& body) {
    return WithEngine<jobject>(handle, nullptr, body);
}

// Delivers one engine event to the listener in the slot. It captures nothing and
// reads the slot at each call. A thread the JVM does not know is attached for the
// delivery and detached afterwards; a thread that was attached stays attached.
void DeliverToListener(const lldb_debug::DebugEvent& event) {
    JavaVM* vm = g_jvm;
    if (vm == nullptr) return;
    JNIEnv* env = nullptr;
    bool attachedHere = false;
    const jint status = vm->GetEnv(reinterpret_cast<void**>(&env), JNI_VERSION_1_6);
    if (status == JNI_EDETACHED) {
        if (vm->AttachCurrentThread(reinterpret_cast<void**>(&env), nullptr) == JNI_OK) {
            attachedHere = true;
        } else {
            env = nullptr;
        }
    } else if (status != JNI_OK) {
        env = nullptr;
    }
    // No delivery on top of a pending exception: JNI calls are not allowed then.
    if (env != nullptr && g_listenerRef != nullptr && g_onEventMid != nullptr && !env->ExceptionCheck() &&
        env->PushLocalFrame(16) == 0) {
        jobject object = CreateDebugEvent(env, event);
        if (object != nullptr) env->CallVoidMethod(g_listenerRef, g_onEventMid, object);
        env->PopLocalFrame(nullptr);
    }
    if (attachedHere) vm->DetachCurrentThread();
}

}  // namespace

extern "C" {

JNIEXPORT void JNICALL LEGACY_NATIVE(nSetEventListener)(JNIEnv* env, jclass, jlong handle, jobject listener) {
    if (handle == 0) return;
    GuardedVoid([&] {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return;
        if (handle == g_listenerHandle && g_listenerRef != nullptr) ReleaseListenerSlot(env, handle);
        engine->ClearEventCallback();
        if (listener == nullptr) return;
        jobject ref = env->NewGlobalRef(listener);
        if (ref == nullptr) return;
        jclass cls = env->GetObjectClass(listener);
        jmethodID onEvent =
            cls != nullptr ? env->GetMethodID(cls, "onEvent", "(Lorg/qzt/kmp/tools/lldb/debug/DebugEvent;)V") : nullptr;
        if (onEvent == nullptr) {
            env->DeleteGlobalRef(ref);
            return;
        }
        // The slot is one for the library: whoever held it loses its reference and
        // its callback, so no engine keeps delivering to a listener it did not set.
        if (g_listenerHandle != 0 || g_listenerRef != nullptr) ReleaseListenerSlot(env, 0);
        g_onEventMid = onEvent;
        g_listenerRef = ref;
        g_listenerHandle = handle;
        engine->SetEventCallback(DeliverToListener);
    });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nConnectPlatform)(JNIEnv* env, jclass, jlong handle, jstring url) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.ConnectPlatform(FromJstring(env, url)); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nAppendExecSearchPaths)(JNIEnv* env, jclass, jlong handle, jstring path) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.AppendExecSearchPaths(FromJstring(env, path)); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nAppendDebugFileSearchPaths)(JNIEnv* env, jclass, jlong handle,
                                                                        jstring path) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.AppendDebugFileSearchPaths(FromJstring(env, path)); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nImportKotlinScript)(JNIEnv* env, jclass, jlong handle, jstring path) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.ImportKotlinScript(FromJstring(env, path), nullptr); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nCreateTarget)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.CreateTarget(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nAttach)(JNIEnv*, jclass, jlong handle, jlong pid) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.Attach(pid); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nDetach)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.Detach(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nHasProcess)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.HasProcess(); });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nGetProcessInfo)(JNIEnv* env, jclass, jlong handle) {
    return ObjectNative(handle, [&](DebugEngine& e) { return CreateProcessInfo(env, e.GetProcessInfo()); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nContinue)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.ContinueProcess(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nStop)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.StopProcess(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nStepOver)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.StepOver(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nStepInto)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.StepInto(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nStepOut)(JNIEnv*, jclass, jlong handle) {
    return BoolNative(handle, [](DebugEngine& e) { return e.StepOut(); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nWaitForStopEvent)(JNIEnv*, jclass, jlong handle, jint timeoutSeconds) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.WaitForStopEvent(timeoutSeconds); });
}

JNIEXPORT jint JNICALL LEGACY_NATIVE(nAddBreakpointByLocation)(JNIEnv* env, jclass, jlong handle, jstring file,
                                                                 jint line) {
    return WithEngine<jint>(handle, 0, [&](DebugEngine& e) { return e.AddBreakpointByLocation(FromJstring(env, file), line); });
}

JNIEXPORT jint JNICALL LEGACY_NATIVE(nAddBreakpointByName)(JNIEnv* env, jclass, jlong handle, jstring name) {
    return WithEngine<jint>(handle, 0, [&](DebugEngine& e) { return e.AddBreakpointByName(FromJstring(env, name)); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nRemoveBreakpoint)(JNIEnv*, jclass, jlong handle, jint id) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.RemoveBreakpoint(id); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nSetBreakpointEnabled)(JNIEnv*, jclass, jlong handle, jint id,
                                                                  jboolean enabled) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.SetBreakpointEnabled(id, enabled == JNI_TRUE); });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nGetBreakpoints)(JNIEnv* env, jclass, jlong handle) {
    return ObjectNative(handle, [&](DebugEngine& e) { return CreateBreakpointList(env, e.GetBreakpoints()); });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nGetThreads)(JNIEnv* env, jclass, jlong handle) {
    return ObjectNative(handle, [&](DebugEngine& e) { return CreateThreadList(env, e.GetThreadsFull()); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nSetSelectedThread)(JNIEnv*, jclass, jlong handle, jint position) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.SetSelectedThread(position); });
}

JNIEXPORT jboolean JNICALL LEGACY_NATIVE(nSetSelectedFrame)(JNIEnv*, jclass, jlong handle, jint position,
                                                              jint frameIndex) {
    return BoolNative(handle, [&](DebugEngine& e) { return e.SetSelectedFrame(position, frameIndex); });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nGetVariables)(JNIEnv* env, jclass, jlong handle, jint thread,
                                                       jint frameIndex) {
    return ObjectNative(handle, [&](DebugEngine& e) { return CreateList(env, e.GetVariables(thread, frameIndex)); });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nGetVariableChildren)(JNIEnv* env, jclass, jlong handle, jstring variableId) {
    return ObjectNative(handle, [&](DebugEngine& e) {
        return CreateList(env, e.GetVariableChildren(FromJstring(env, variableId)));
    });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nGetRegisterSets)(JNIEnv* env, jclass, jlong handle, jint position,
                                                          jint frameIndex) {
    return ObjectNative(handle, [&](DebugEngine& e) {
        return CreateRegisterSetList(env, e.GetRegisterSets(position, frameIndex));
    });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nReadMemory)(JNIEnv* env, jclass, jlong handle, jlong address, jlong size) {
    return ObjectNative(handle, [&](DebugEngine& e) {
        return CreateMemoryBlock(env, e.ReadMemory(static_cast<uint64_t>(address), static_cast<uint64_t>(size)));
    });
}

JNIEXPORT jobject JNICALL LEGACY_NATIVE(nEvaluate)(JNIEnv* env, jclass, jlong handle, jint thread, jint frameIndex,
                                                   jstring expression) {
    return ObjectNative(handle, [&](DebugEngine& e) {
        return CreateEvalResult(env, e.Evaluate(thread, frameIndex, FromJstring(env, expression)));
    });
}

}  // extern "C"
