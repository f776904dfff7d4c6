#include "convert_threads.h"

#include <chrono>

#include "core/wire_codes.h"
#include "diagnostics.h"
#include "env_switches.h"
#include "jni_support.h"

using namespace lldb_debug;

namespace nativescope {
namespace {

constexpr const char* kFrameClass = WRAPPER_CLASS("StackFrameInfo");
constexpr const char* kFrameSig = "L" WRAPPER_CLASS("StackFrameInfo") ";";
constexpr const char* kFrameArraySig = "[L" WRAPPER_CLASS("StackFrameInfo") ";";

bool Pending(JNIEnv* env) { return env->ExceptionCheck() == JNI_TRUE; }

void DeleteLocal(JNIEnv* env, jobject ref) {
    if (ref != nullptr) env->DeleteLocalRef(ref);
}

jobject CreateSpecThreadInfo(JNIEnv* env, jclass threadClass, jclass frameClass, const Thread& thread,
                             int32_t selectedThreadId) {
    jobject topFrame = (thread.frames.empty() || frameClass == nullptr)
                           ? nullptr
                           : CreateSpecStackFrameInfo(env, frameClass, thread.frames.front(), thread.id);
    if (Pending(env)) return nullptr;
    jobjectArray preview = frameClass == nullptr ? nullptr : CreateSpecStackFrameArray(env, frameClass, thread.frames, thread.id);
    if (Pending(env)) {
        DeleteLocal(env, topFrame);
        return nullptr;
    }
    jobject object = JavaObject(env, threadClass)
                         .Int("threadId", static_cast<jint>(thread.indexId))
                         .Long("threadHandle", static_cast<jlong>(thread.id))
                         .Str("name", thread.name)
                         .Str("queue", thread.queueName)
                         .Long("systemThreadId", static_cast<jlong>(thread.id))
                         .Str("stopReason", StopReasonText(thread.stopReason))
                         .Bool("suspended", true)
                         .Bool("currentThread", thread.id == selectedThreadId)
                         .Obj("topFrame", kFrameSig, topFrame)
                         .Obj("previewFrames", kFrameArraySig, preview)
                         .Int("totalFrameCount", thread.totalFrameCount)
                         .Bool("framesTruncated", thread.framesTruncated)
                         .get();
    DeleteLocal(env, preview);
    DeleteLocal(env, topFrame);
    return object;
}

}  // namespace

jobject CreateSpecStackFrameInfo(JNIEnv* env, jclass frameClass, const Frame& frame, int32_t threadId) {
    return JavaObject(env, frameClass)
        .Int("frameId", frame.index)
        .Str("functionName", frame.functionName)
        .Str("filePath", frame.file.empty() ? frame.filename : frame.file)
        .Int("line", frame.line)
        .Int("column", frame.column)
        .Long("frameHandle", EncodeFrameHandle(threadId, frame.index))
        .get();
}

jobject CreateSpecStackFrameInfo(JNIEnv* env, const Frame& frame, int32_t threadId) {
    jclass frameClass = env->FindClass(kFrameClass);
    if (frameClass == nullptr) return nullptr;
    jobject object = CreateSpecStackFrameInfo(env, frameClass, frame, threadId);
    env->DeleteLocalRef(frameClass);
    return object;
}

jobjectArray CreateSpecStackFrameArray(JNIEnv* env, jclass frameClass, const std::vector<Frame>& frames,
                                       int32_t threadId) {
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(frames.size()), frameClass, nullptr);
    if (array == nullptr) return nullptr;
    for (size_t j = 0; j < frames.size(); ++j) {
        jobject frame = CreateSpecStackFrameInfo(env, frameClass, frames[j], threadId);
        if (Pending(env)) break;
        if (frame == nullptr) continue;
        env->SetObjectArrayElement(array, static_cast<jsize>(j), frame);
        env->DeleteLocalRef(frame);
    }
    return array;
}

jobjectArray CreateSpecThreadInfoArray(JNIEnv* env, const std::vector<Thread>& threads, int32_t selectedThreadId) {
    jclass threadClass = env->FindClass(WRAPPER_CLASS("ThreadInfo"));
    if (threadClass == nullptr) return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(threads.size()), threadClass, nullptr);
    if (array == nullptr) {
        env->DeleteLocalRef(threadClass);
        return nullptr;
    }
    jclass frameClass = env->FindClass(kFrameClass);  // missing: the frame fields stay null
    if (frameClass == nullptr && Pending(env)) {
        env->DeleteLocalRef(threadClass);
        return array;
    }
    for (size_t i = 0; i < threads.size(); ++i) {
        jobject thread = CreateSpecThreadInfo(env, threadClass, frameClass, threads[i], selectedThreadId);
        if (Pending(env)) break;
        if (thread == nullptr) continue;
        env->SetObjectArrayElement(array, static_cast<jsize>(i), thread);
        env->DeleteLocalRef(thread);
    }
    DeleteLocal(env, frameClass);
    env->DeleteLocalRef(threadClass);
    return array;
}

jobject CreateSpecDebugEvent(JNIEnv* env, const DebugEvent& event) {
    const auto start = std::chrono::steady_clock::now();
    jclass eventClass = env->FindClass(WRAPPER_CLASS("SpecDebugEvent"));
    if (eventClass == nullptr) return nullptr;
    JavaObject object(env, eventClass);
    object.Int("eventType", EventCodeOf(event))
        .Int("threadId", event.threadId)
        .Str("stopReason", StopReasonText(event.stopInfo.reason))
        .Int("breakpointId", event.breakpointId)
        .Str("signalName", event.stopInfo.description)
        .Str("inferiorStdout", event.inferiorStdout)
        .Str("inferiorStderr", event.inferiorStderr)
        .Int("totalFrameCount", event.totalFrameCount)
        .Bool("stackFramesTruncated", event.framesTruncated);
    if (object.get() != nullptr) {
        jclass frameClass = env->FindClass(kFrameClass);
        if (frameClass != nullptr) {
            jobjectArray frames = CreateSpecStackFrameArray(env, frameClass, event.frames, event.threadId);
            if (frames != nullptr && !Pending(env)) object.Obj("stackFrames", kFrameArraySig, frames);
            DeleteLocal(env, frames);
            env->DeleteLocalRef(frameClass);
        }
    }
    env->DeleteLocalRef(eventClass);
    jobject result = Pending(env) ? nullptr : object.get();
    LogStepTimingMs("CreateJniSpecDebugEventObject", KotlinTypeElapsedMs(start, std::chrono::steady_clock::now()));
    return result;
}

}  // namespace nativescope
