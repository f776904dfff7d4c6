// Load hooks and engine creation/destruction for both Java interfaces.
#include <jni.h>

#include "core/value_handle_registry.h"
#include "jni_support.h"
#include "library_state.h"

using lldb_debug::DebugEngine;
using namespace nativescope;

namespace {

// Reads the entries of a java.util.Map as (name, value) pairs in iteration order.
// False when the map cannot be iterated.
bool ReadEnvMap(JNIEnv* env, jobject map, lldb_debug::EnvPairs& pairs) {
    jclass mapClass = env->GetObjectClass(map);
    jmethodID entrySetMid = mapClass ? env->GetMethodID(mapClass, "entrySet", "()Ljava/util/Set;") : nullptr;
    if (entrySetMid == nullptr) return false;
    jobject set = env->CallObjectMethod(map, entrySetMid);
    if (set == nullptr || env->ExceptionCheck()) return false;
    jclass setClass = env->GetObjectClass(set);
    jmethodID iteratorMid = env->GetMethodID(setClass, "iterator", "()Ljava/util/Iterator;");
    if (iteratorMid == nullptr) return false;
    jobject iterator = env->CallObjectMethod(set, iteratorMid);
    if (iterator == nullptr || env->ExceptionCheck()) return false;
    jclass iteratorClass = env->GetObjectClass(iterator);
    jmethodID hasNext = env->GetMethodID(iteratorClass, "hasNext", "()Z");
    jmethodID next = hasNext ? env->GetMethodID(iteratorClass, "next", "()Ljava/lang/Object;") : nullptr;
    jclass entryClass = next ? env->FindClass("java/util/Map$Entry") : nullptr;
    jmethodID getKey = entryClass ? env->GetMethodID(entryClass, "getKey", "()Ljava/lang/Object;") : nullptr;
    jmethodID getValue = getKey ? env->GetMethodID(entryClass, "getValue", "()Ljava/lang/Object;") : nullptr;
    if (getValue == nullptr) return false;

    jclass stringClass = env->FindClass("java/lang/String");
    if (stringClass == nullptr) return false;
    while (env->CallBooleanMethod(iterator, hasNext) == JNI_TRUE) {
        if (env->ExceptionCheck()) return false;
        jobject entry = env->CallObjectMethod(iterator, next);
        if (entry == nullptr || env->ExceptionCheck()) break;
        jobject key = env->CallObjectMethod(entry, getKey);
        jobject value = env->CallObjectMethod(entry, getValue);
        if (env->ExceptionCheck()) return false;
        // Only strings can be read as text; anything else is skipped like a null.
        if (key != nullptr && value != nullptr && env->IsInstanceOf(key, stringClass) &&
            env->IsInstanceOf(value, stringClass)) {
            pairs.emplace_back(FromJstring(env, static_cast<jstring>(key)),
                               FromJstring(env, static_cast<jstring>(value)));
        }
        env->DeleteLocalRef(key);
        env->DeleteLocalRef(value);
        env->DeleteLocalRef(entry);
    }
    return !env->ExceptionCheck();
}

jlong CreateEngine(const lldb_debug::EnvPairs* pairs) {
    auto engine = std::make_unique<DebugEngine>();
    if (pairs != nullptr && !pairs->empty()) engine->SetEnvironmentVariables(*pairs);
    return AdoptEngine(std::move(engine));
}

}  // namespace

extern "C" {

JNIEXPORT jint JNICALL JNI_OnLoad(JavaVM* vm, void*) {
    g_jvm = vm;
    return JNI_VERSION_1_6;
}

JNIEXPORT void JNICALL JNI_OnUnload(JavaVM*, void*) {
    GuardedVoid([] { TerminateLldb(); });
    g_jvm = nullptr;
}

JNIEXPORT jlong JNICALL WRAPPER_NATIVE(initDebugger)(JNIEnv* env, jclass,
                                                                                              jobject map) {
    if (map == nullptr) return 0;
    return Guarded<jlong>(0, [&]() -> jlong {
        lldb_debug::EnvPairs pairs;
        if (!ReadEnvMap(env, map, pairs)) return 0;
        lldb_debug::ApplyProcessEnvPairs(pairs);
        return CreateEngine(&pairs);
    });
}

JNIEXPORT void JNICALL WRAPPER_NATIVE(destroyDebugger)(JNIEnv*, jclass,
                                                                                                jlong handle) {
    if (handle == 0) return;
    GuardedVoid([&] {
        // Bookkeeping needs no live engine, so a handle already destroyed through
        // the older interface still gets its value handles released here.
        ValueHandles().ReleaseEngine(handle);
        if (g_specEngineHandle == handle) g_specEngineHandle = 0;
        DestroyEngine(handle);
    });
}

JNIEXPORT jlong JNICALL LEGACY_NATIVE(nCreate)(JNIEnv*, jobject) {
    return Guarded<jlong>(0, [] { return CreateEngine(nullptr); });
}

JNIEXPORT void JNICALL LEGACY_NATIVE(nDestroy)(JNIEnv* env, jobject, jlong handle) {
    GuardedVoid([&] {
        if (handle != 0 && handle == g_listenerHandle && g_listenerRef != nullptr) ReleaseListenerSlot(env, handle);
        if (handle != 0) DestroyEngine(handle);
    });
}

}  // extern "C"
