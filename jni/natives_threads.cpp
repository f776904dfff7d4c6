// Thread and stack natives of LLDBNativeWrapper: thread lists with frame previews,
// whole stacks, thread and frame selection.
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
}  // namespace

extern "C" {

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getThreadList)(JNIEnv* env, jclass, jlong handle, jint threadCap) {
    return Guarded<jobjectArray>(nullptr, [&]() -> jobjectArray {
        const EngineRef engine = LiveEngine(handle);
        if (engine == nullptr) return nullptr;
        const int32_t selected = engine->GetSelectedThreadId();
        const Clock::time_point callStart = Clock::now();
        const Clock::time_point engineStart = callStart;
        const std::vector<lldb_debug::Thread> threads =
            threadCap < 1 ? engine->GetThreads() : engine->GetThreadsPreview(static_cast<uint32_t>(threadCap));
        lldb_debug::LogStepTimingMs("CreateSpecThreadInfoArray.GetThreads", MsSince(engineStart));
        jobjectArray array = CreateSpecThreadInfoArray(env, threads, selected);
        if (array == nullptr) return nullptr;
        lldb_debug::LogStepTimingMs("CreateSpecThreadInfoArray", MsSince(callStart));
        return array;
    });
}

JNIEXPORT jint JNICALL WRAPPER_NATIVE(getThreadCount)(JNIEnv*, jclass, jlong handle) {
    return Guarded<jint>(0, [&]() -> jint {
        const EngineRef engine = LiveEngine(handle);
        return engine == nullptr ? 0 : static_cast<jint>(engine->GetThreadCount());
    });
}

JNIEXPORT jint JNICALL WRAPPER_NATIVE(getThreadNumFrames)(JNIEnv*, jclass, jlong handle, jint threadId) {
    return Guarded<jint>(0, [&]() -> jint {
        const EngineRef engine = LiveEngine(handle);
        return engine == nullptr ? 0 : static_cast<jint>(engine->GetThreadNumFramesByLldbId(threadId));
    });
}

JNIEXPORT jboolean JNICALL WRAPPER_NATIVE(selectThread)(JNIEnv*, jclass, jlong handle, jint indexId) {
    return Guarded<jboolean>(JNI_FALSE, [&]() -> jboolean {
        const EngineRef engine = LiveEngine(handle);
        return engine != nullptr && engine->SetSelectedThreadByIndexId(indexId) ? JNI_TRUE : JNI_FALSE;
    });
}

JNIEXPORT jlong JNICALL WRAPPER_NATIVE(getCurrentThread)(JNIEnv*, jclass, jlong handle) {
    return Guarded<jlong>(0, [&]() -> jlong {
        const EngineRef engine = LiveEngine(handle);
        return engine == nullptr ? 0 : static_cast<jlong>(engine->GetSelectedThreadId());
    });
}

JNIEXPORT jlong JNICALL WRAPPER_NATIVE(selectFrame)(JNIEnv*, jclass, jint threadId, jint frameIndex) {
    return Guarded<jlong>(0, [&]() -> jlong {
        const EngineRef engine = CurrentEngine();
        if (engine == nullptr || !engine->SetSelectedThreadAndFrame(threadId, frameIndex)) return 0;
        return EncodeFrameHandle(threadId, frameIndex);
    });
}

JNIEXPORT jobjectArray JNICALL WRAPPER_NATIVE(getStackTrace)(JNIEnv* env, jclass, jint threadId) {
    return Guarded<jobjectArray>(nullptr, [&]() -> jobjectArray {
        const EngineRef engine = CurrentEngine();
        if (engine == nullptr) return nullptr;
        const int32_t position = engine->ResolveThreadProcessIndexById(threadId);
        if (position < 0) return nullptr;
        const std::vector<lldb_debug::Frame> frames = engine->GetFrames(position);
        jclass frameClass = env->FindClass(WRAPPER_CLASS("StackFrameInfo"));
        if (frameClass == nullptr) return nullptr;
        jobjectArray array = CreateSpecStackFrameArray(env, frameClass, frames, threadId);
        env->DeleteLocalRef(frameClass);
        return array;
    });
}

}  // extern "C"
