// Variable and evaluation natives of LLDBNativeWrapper: frame variables (all or a
// page), children through value handles, handle release and expression evaluation.
#include <jni.h>

#include <chrono>
#include <cstdio>

#include "convert_variables.h"
#include "env_switches.h"
#include "jni_support.h"
#include "library_state.h"
#include "core/value_handle_registry.h"

using lldb_debug::DebugEngine;
using namespace nativescope;

namespace {

using Clock = std::chrono::steady_clock;

// A frame handle: OS thread id in the upper 32 bits, frame index in the lower 32.
struct FrameRef {
    EngineRef engine;
    int32_t position = -1;
    int32_t frameIndex = 0;
};

// The current engine and the thread's position, or no engine when either is missing.
FrameRef ResolveFrameHandle(jlong frameHandle) {
    FrameRef ref;
    const EngineRef engine = CurrentEngine();
    if (engine == nullptr) return ref;
    const int32_t threadId = static_cast<int32_t>(frameHandle >> 32);
    ref.position = engine->ResolveThreadProcessIndexById(threadId);
    ref.frameIndex = static_cast<int32_t>(static_cast<uint32_t>(frameHandle & 0xFFFFFFFF));
    // To the engine, position 0 stands for "the selected thread", while a frame
    // handle names its thread outright: select that thread so the page, its
    // variable ids and their children all read the thread the IDE asked for.
    if (ref.position == 0 && engine->GetSelectedThreadId() != threadId) engine->SetSelectedThreadByThreadId(threadId);
    if (ref.position >= 0) ref.engine = engine;
    return ref;
}

// The engine and variable id behind a value handle, or no engine.
struct HandleTarget {
    EngineRef engine;
    jlong engineHandle = 0;
    std::string variableId;
    bool registered = false;
};

HandleTarget LookUpValueHandle(jlong valueHandle) {
    HandleTarget target;
    const auto entry = ValueHandles().Lookup(valueHandle);
    if (!entry) return target;
    target.registered = true;
    target.engineHandle = entry->engine;
    target.variableId = entry->variableId;
    target.engine = LiveEngine(entry->engine);
    return target;
}

}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getFrameVariables)(JNIEnv* env, jclass, jlong frameHandle) {
    return Guarded<jobjectArray>(nullptr, [&]() -> jobjectArray {
        const FrameRef ref = ResolveFrameHandle(frameHandle);
        if (ref.engine == nullptr) return nullptr;
        return NewJniVariableInfoArray(env, ref.engine->GetVariables(ref.position, ref.frameIndex), g_specEngineHandle);
    });
}

JNIEXPORT jobject JNICALL WRAPPER_NATIVE(getFrameVariablesPage)(JNIEnv* env, jclass, jlong frameHandle, jint offset,
                                                               jint count) {
    return Guarded<jobject>(nullptr, [&]() -> jobject {
        const FrameRef ref = ResolveFrameHandle(frameHandle);
        if (ref.engine == nullptr) return nullptr;
        return CreateFrameVariablesPage(env, ref.engine->GetVariablesPage(ref.position, ref.frameIndex, offset, count),
                                        g_specEngineHandle);
    });
}

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getChildVariables)(JNIEnv* env, jclass, jlong valueHandle) {
    return Guarded<jobjectArray>(nullptr, [&]() -> jobjectArray {
        const bool timing = lldb_debug::LldbDebugChildFetchTiming();
        std::fprintf(stderr, "[JNI getChildVariables] value_handle=%lld\n", static_cast<long long>(valueHandle));
        const HandleTarget target = LookUpValueHandle(valueHandle);
        if (!target.registered) {
            std::fprintf(stderr, "[JNI getChildVariables] LOOKUP FAILED (released or unknown handle)\n");
            return nullptr;
        }
        if (target.engine == nullptr) {
            std::fprintf(stderr, "[JNI getChildVariables] engine null for handle=%lld\n",
                         static_cast<long long>(valueHandle));
            return nullptr;
        }
        std::fprintf(stderr, "[JNI getChildVariables] variable_id='%s' engine=%p\n", target.variableId.c_str(),
                     static_cast<void*>(target.engine.get()));
        const auto start = Clock::now();
        const auto children = target.engine->GetVariableChildren(target.variableId);
        const auto engineDone = Clock::now();
        std::fprintf(stderr, "[JNI getChildVariables] engine returned %d children\n", static_cast<int>(children.size()));
        const auto boxStart = Clock::now();
        jobjectArray array = NewJniVariableInfoArray(env, children, target.engineHandle);
        const auto boxEnd = Clock::now();
        if (array != nullptr && timing) {
            std::fprintf(stderr,
                         "[TIMING] JNI getChildVariables variable_id=%s eng_getVariableChildren_ms=%.3f "
                         "jni_VariableInfo_box_ms=%.3f jni_total_ms=%.3f n=%d\n",
                         target.variableId.c_str(), lldb_debug::KotlinTypeElapsedMs(start, engineDone),
                         lldb_debug::KotlinTypeElapsedMs(boxStart, boxEnd),
                         lldb_debug::KotlinTypeElapsedMs(start, boxEnd), static_cast<int>(children.size()));
            std::fflush(stderr);
        }
        return array;
    });
}

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getChildVariablesRange)(JNIEnv* env, jclass, jlong valueHandle,
                                                                    jint start, jint count) {
    return Guarded<jobjectArray>(nullptr, [&]() -> jobjectArray {
        const HandleTarget target = LookUpValueHandle(valueHandle);
        if (target.engine == nullptr) return nullptr;
        return NewJniVariableInfoArray(env, target.engine->GetVariableChildrenRange(target.variableId, start, count),
                                       target.engineHandle);
    });
}

JNIEXPORT void JNICALL WRAPPER_NATIVE(releaseValueHandle)(JNIEnv*, jclass, jlong valueHandle) {
    GuardedVoid([&] { ValueHandles().Release(valueHandle); });
}

JNIEXPORT void JNICALL WRAPPER_NATIVE(releaseAllValueHandles)(JNIEnv*, jclass, jlong engine) {
    GuardedVoid([&] { ValueHandles().ReleaseEngine(engine); });
}

JNIEXPORT void JNICALL WRAPPER_NATIVE(clearFrameVariablesPageCache)(JNIEnv*, jclass, jlong engine) {
    GuardedVoid([&] {
        if (const EngineRef e = LiveEngine(engine)) e->ClearFrameVariablesPageCache();
    });
}

JNIEXPORT jobject JNICALL WRAPPER_NATIVE(evaluateExpression)(JNIEnv* env, jclass, jlong frameHandle,
                                                            jstring expression) {
    return Guarded<jobject>(nullptr, [&]() -> jobject {
        const FrameRef ref = ResolveFrameHandle(frameHandle);
        if (ref.engine == nullptr) return nullptr;
        return CreateEvaluationResult(
            env, ref.engine->Evaluate(ref.position, ref.frameIndex, FromJstring(env, expression)));
    });
}

}  // extern "C"
