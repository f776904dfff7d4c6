// Control, event and breakpoint natives of LLDBNativeWrapper: continue, pause,
// steps, run to an address, the event wait, and source breakpoints.
#include <jni.h>

#include <chrono>

#include "convert_threads.h"
#include "core/wire_codes.h"
#include "diagnostics.h"
#include "env_switches.h"
#include "jni_support.h"
#include "library_state.h"

using lldb_debug::DebugEngine;
using namespace nativescope;

namespace {

using Clock = std::chrono::steady_clock;
double MsSince(Clock::time_point start) { return lldb_debug::KotlinTypeElapsedMs(start, Clock::now()); }

jboolean Bool(bool value) { return value ? JNI_TRUE : JNI_FALSE; }

// The step natives: a handle that names no live engine (0 included) is refused
// before anything changes; otherwise it becomes the current engine and the step
// runs on it, timed when a label is given.
template <typename Step>
jboolean RunStep(jlong handle, const char* timingLabel, Step step) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return JNI_FALSE;
        g_specEngineHandle = handle;
        const Clock::time_point start = Clock::now();
        const bool ok = step(*engine);
        if (timingLabel != nullptr) lldb_debug::LogStepTimingMs(timingLabel, MsSince(start));
        return Bool(ok);
    });
}

jobject CreateBreakpointInfo(JNIEnv* env, const lldb_debug::BreakpointResult& result) {
    return JavaObject(env, WRAPPER_CLASS("BreakpointInfo"))
        .Int("breakpointId", result.breakpointId)
        .Bool("valid", result.valid)
        .Int("locationCount", result.locationCount)
        .Str("errorMessage", result.errorMessage)
        .get();
}

}  // namespace

extern "C" {

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(continueExecution)(JNIEnv*, jclass, jlong handle) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        g_specEngineHandle = handle;
        const EngineRef engine = LiveEngine(handle);
        return Bool(engine != nullptr && engine->ContinueProcess());
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(pauseExecution)(JNIEnv*, jclass, jlong handle) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        return Bool(engine != nullptr && engine->StopProcess());
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(stepOver__JJ)(JNIEnv*, jclass, jlong handle, jlong threadId) {
    return RunStep(handle, "JNI.stepOver", [&](DebugEngine& e) { return e.StepOver(threadId); });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(stepInto__JJ)(JNIEnv*, jclass, jlong handle, jlong threadId) {
    return RunStep(handle, "JNI.stepInto", [&](DebugEngine& e) { return e.StepInto(threadId); });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(stepOut__JJ)(JNIEnv*, jclass, jlong handle, jlong threadId) {
    return RunStep(handle, nullptr, [&](DebugEngine& e) { return e.StepOut(threadId); });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(stepInstructionInto)(JNIEnv*, jclass, jlong handle, jlong threadId) {
    return RunStep(handle, nullptr, [&](DebugEngine& e) { return e.StepInstructionInto(threadId); });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(stepInstructionOver)(JNIEnv*, jclass, jlong handle, jlong threadId) {
    return RunStep(handle, nullptr, [&](DebugEngine& e) { return e.StepInstructionOver(threadId); });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(runToAddress)(JNIEnv*, jclass, jlong handle, jlong threadId,
                                                        jlong address) {
    if (address == 0) return JNI_FALSE;
    return RunStep(handle, nullptr,
                   [&](DebugEngine& e) { return e.RunToAddress(static_cast<uint64_t>(address), threadId); });
}

JNIEXPORT jobject JNICALL WRAPPER_NATIVE(waitForEvent)(JNIEnv* env, jclass, jlong handle, jint timeoutSeconds) {
    return Guarded<jobject>(nullptr, [&]() -> jobject {
        g_specEngineHandle = handle;
        const Clock::time_point callStart = Clock::now();
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return nullptr;
        lldb_debug::DebugEvent event;
        if (!engine->WaitForEvent(timeoutSeconds, event)) return nullptr;
        // States the pump leaves undescribed carry no stop: like a time-out to Java.
        if (CarriesNoState(event)) return nullptr;
        lldb_debug::LogStepTimingMs("JNI.waitForEvent.engine", MsSince(callStart));
        const Clock::time_point boxStart = Clock::now();
        jobject result = CreateSpecDebugEvent(env, event);
        lldb_debug::LogStepTimingMs("JNI.waitForEvent.box", MsSince(boxStart));
        lldb_debug::LogStepTimingMs("JNI.waitForEvent.total", MsSince(callStart));
        return result;
    });
}

JNIEXPORT jobject JNICALL WRAPPER_NATIVE(setBreakpoint)(JNIEnv* env, jclass, jlong handle, jlong, jstring file,
                                                        jint line) {
    return Guarded<jobject>(nullptr, [&]() -> jobject {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return nullptr;
        return CreateBreakpointInfo(env, engine->SetBreakpoint(FromJstring(env, file), line, "", {}));
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(deleteBreakpoint)(JNIEnv*, jclass, jlong handle, jlong, jint id) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        return Bool(engine != nullptr && engine->RemoveBreakpoint(id));
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(setBreakpointCondition)(JNIEnv* env, jclass, jlong handle, jlong, jint id,
                                                                  jstring condition) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        return Bool(engine != nullptr && engine->SetBreakpointCondition(id, FromJstring(env, condition)));
    });
}

}  // extern "C"
