// Session natives of LLDBNativeWrapper: platform, search path, scripts, interpreter
// commands, attach and detach, and the two library-wide messages.
#include <jni.h>

#include "jni_support.h"
#include "library_state.h"

using lldb_debug::DebugEngine;
using namespace nativescope;


extern "C" {

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(selectPlatform)(JNIEnv* env, jclass, jlong, jstring name) {
    return Guarded<jboolean>(JNI_TRUE, [&] {
        g_specPlatformName = FromJstring(env, name);
        if (g_specPlatformName.empty()) g_specPlatformName = "remote-ohos";
        return JNI_TRUE;
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(connectPlatform)(JNIEnv* env, jclass, jlong handle, jstring url) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return JNI_FALSE;
        return engine->ConnectPlatform(g_specPlatformName, FromJstring(env, url)) ? JNI_TRUE : JNI_FALSE;
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(setExecSearchPath)(JNIEnv* env, jclass, jlong handle, jstring path) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return JNI_FALSE;
        return engine->SetExecSearchPaths({FromJstring(env, path)}) ? JNI_TRUE : JNI_FALSE;
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(loadKotlinScript)(JNIEnv* env, jclass, jlong handle, jstring path) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        g_lastInterpreterOutput.clear();
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) {
            g_lastInterpreterOutput = "debugger handle is 0";
            return JNI_FALSE;
        }
        std::string output;
        const bool ok = engine->ImportKotlinScript(FromJstring(env, path), &output);
        g_lastInterpreterOutput = output;
        if (!ok && g_lastInterpreterOutput.empty()) g_lastInterpreterOutput = "command script import failed";
        return ok ? JNI_TRUE : JNI_FALSE;
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(handleInterpreterCommand)(JNIEnv* env, jclass, jlong handle,
                                                                 jstring command) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        g_lastInterpreterOutput.clear();
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return JNI_FALSE;
        const std::string text = FromJstring(env, command);
        if (text.empty()) return JNI_TRUE;
        std::string output;
        const bool ok = engine->HandleInterpreterCommand(text, &output);
        g_lastInterpreterOutput = output;
        return ok ? JNI_TRUE : JNI_FALSE;
    });
}

JNIEXPORT jstring JNICALL WRAPPER_NATIVE(getLastInterpreterCommandOutput)(JNIEnv* env, jclass) {
    return Guarded<jstring>(nullptr, [&] { return ToJstring(env, g_lastInterpreterOutput); });
}

JNIEXPORT jlong JNICALL WRAPPER_NATIVE(attachToProcess)(JNIEnv*, jclass, jlong handle, jint pid) {
    return Guarded<jlong>(0, [&]() -> jlong {
        g_lastAttachError.clear();
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) {
            g_lastAttachError = "invalid debugger handle";
            return 0;
        }
        if (!engine->CreateTarget()) {
            g_lastAttachError = "createTarget failed (empty or invalid SBTarget)";
            return 0;
        }
        const lldb_debug::AttachResult result = engine->AttachWithResult(pid);
        if (result.success) {
            g_specEngineHandle = handle;
            return handle;
        }
        g_lastAttachError = result.errorMessage.empty() ? "attach failed" : result.errorMessage;
        return 0;
    });
}

JNIEXPORT jstring JNICALL WRAPPER_NATIVE(getLastAttachErrorMessage)(JNIEnv* env, jclass) {
    return Guarded<jstring>(nullptr, [&] { return ToJstring(env, g_lastAttachError); });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(detachProcess)(JNIEnv*, jclass, jlong handle) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        return (engine != nullptr && engine->Detach()) ? JNI_TRUE : JNI_FALSE;
    });
}

}  // extern "C"
