#include "convert_legacy.h"

#include "jni_support.h"

using namespace lldb_debug;

namespace nativescope {
namespace {

#define LEGACY_CLASS(simple) "org/qzt/kmp/tools/lldb/debug/" simple
#define LEGACY_SIG(simple) "Lorg/qzt/kmp/tools/lldb/debug/" simple ";"

constexpr const char* kListSig = "Ljava/util/List;";

template <typename E>
jobject EnumConstant(JNIEnv* env, const char* simpleName, E value) {
    return GetEnumByOrdinal(env, simpleName, static_cast<int>(value));
}

// A nested object that failed with a pending exception ends the whole conversion:
// no further JNI call is made with the exception pending.
bool Pending(JNIEnv* env) { return env->ExceptionCheck() == JNI_TRUE; }

// Lists of model objects. Each element is made inside its own local frame, so deep
// stacks and long lists do not pile up local references; a conversion that left an
// exception pending stops the list.
template <typename T, typename Make>
jobject CreateModelList(JNIEnv* env, const std::vector<T>& items, Make make) {
    return MakeArrayList(env, items, [&](JNIEnv* e, const T& item) -> jobject {
        if (Pending(e) || e->PushLocalFrame(16) != 0) return nullptr;
        return e->PopLocalFrame(make(e, item));
    });
}

jobject CreateSourceLocation(JNIEnv* env, const Frame& frame) {
    return JavaObject(env, LEGACY_CLASS("SourceLocation"))
        .Str("file", frame.file)
        .Str("filename", frame.filename)
        .Int("line", frame.line)
        .Int("column", frame.column)
        .get();
}

jobject CreateFrame(JNIEnv* env, const Frame& frame) {
    jobject location = CreateSourceLocation(env, frame);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("Frame"))
        .Int("index", frame.index)
        .Long("pc", static_cast<jlong>(frame.pc))
        .Str("functionName", frame.functionName)
        .Str("module", frame.module)
        .Obj("location", LEGACY_SIG("SourceLocation"), location)
        .Bool("hasDebugInfo", frame.hasDebugInfo)
        .get();
}

jobject CreateThread(JNIEnv* env, const Thread& thread) {
    jobject stopReason = EnumConstant(env, "StopReason", thread.stopReason);
    jobject stopInfo = Pending(env) ? nullptr : CreateStopInfo(env, thread.stopInfo);
    jobject frames = Pending(env) ? nullptr : CreateModelList(env, thread.frames, CreateFrame);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("Thread"))
        .Int("id", thread.id)
        .Int("indexId", static_cast<jint>(thread.indexId))
        .Str("name", thread.name)
        .Str("queueName", thread.queueName)
        .Obj("stopReason", LEGACY_SIG("StopReason"), stopReason)
        .Obj("stopInfo", LEGACY_SIG("StopInfo"), stopInfo)
        .Obj("frames", kListSig, frames)
        .get();
}

jobject CreateBreakpointLocation(JNIEnv* env, const BreakpointLocation& location) {
    return JavaObject(env, LEGACY_CLASS("BreakpointLocation"))
        .Long("locationId", location.locationId)
        .Str("file", location.file)
        .Int("line", location.line)
        .Int("column", location.column)
        .Long("address", static_cast<jlong>(location.address))
        .Bool("resolved", location.resolved)
        .get();
}

jobject CreateBreakpoint(JNIEnv* env, const Breakpoint& breakpoint) {
    jobject locations = CreateModelList(env, breakpoint.locations, CreateBreakpointLocation);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("Breakpoint"))
        .Int("id", breakpoint.id)
        .Bool("enabled", breakpoint.enabled)
        .Str("condition", breakpoint.condition)
        .Int("hitCount", static_cast<jint>(breakpoint.hitCount))
        .Int("ignoreCount", static_cast<jint>(breakpoint.ignoreCount))
        .Str("file", breakpoint.file)
        .Int("line", breakpoint.line)
        .Str("functionName", breakpoint.functionName)
        .Long("address", static_cast<jlong>(breakpoint.address))
        .Obj("locations", kListSig, locations)
        .get();
}

jobject CreateRegister(JNIEnv* env, const Register& reg) {
    return JavaObject(env, LEGACY_CLASS("Register"))
        .Str("name", reg.name)
        .Str("value", reg.value)
        .Int("byteSize", static_cast<jint>(reg.byteSize))
        .Str("setName", reg.setName)
        .get();
}

jobject CreateRegisterSet(JNIEnv* env, const RegisterSet& set) {
    jobject registers = CreateModelList(env, set.registers, CreateRegister);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("RegisterSet")).Str("name", set.name).Obj("registers", kListSig, registers).get();
}

}  // namespace

jobject CreateStopInfo(JNIEnv* env, const StopInfo& info) {
    jobject reason = EnumConstant(env, "StopReason", info.reason);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("StopInfo"))
        .Obj("reason", LEGACY_SIG("StopReason"), reason)
        .Int("breakpointId", info.breakpointId)
        .Int("watchpointId", info.watchpointId)
        .Str("description", info.description)
        .get();
}

jobject CreateVariable(JNIEnv* env, const Variable& variable) {
    jobject valueType = EnumConstant(env, "ValueType", variable.valueType);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("Variable"))
        .Str("name", variable.name)
        .Str("type", variable.type)
        .Str("value", variable.value)
        .Str("summary", variable.summary)
        .Long("address", static_cast<jlong>(variable.address))
        .Obj("valueType", LEGACY_SIG("ValueType"), valueType)
        .Bool("hasChildren", variable.hasChildren)
        .Int("numChildren", static_cast<jint>(variable.numChildren))
        .Bool("isInScope", variable.isInScope)
        .Bool("valueChanged", variable.valueChanged)
        .Str("variableId", variable.variableId)
        .get();
}

jobject CreateList(JNIEnv* env, const std::vector<Variable>& variables) {
    return CreateModelList(env, variables, CreateVariable);
}

jobject CreateProcessInfo(JNIEnv* env, const ProcessInfo& info) {
    jobject state = EnumConstant(env, "ProcessState", info.state);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("ProcessInfo"))
        .Long("pid", static_cast<jlong>(info.pid))
        .Str("executable", info.executable)
        .Obj("state", LEGACY_SIG("ProcessState"), state)
        .Int("exitCode", info.exitCode)
        .get();
}

jobject CreateMemoryBlock(JNIEnv* env, const MemoryBlock& block) {
    JavaObject object(env, LEGACY_CLASS("MemoryBlock"));
    if (object.get() == nullptr) return nullptr;
    object.Long("address", static_cast<jlong>(block.address));
    jbyteArray data = env->NewByteArray(static_cast<jsize>(block.data.size()));
    if (data != nullptr && !block.data.empty()) {
        env->SetByteArrayRegion(data, 0, static_cast<jsize>(block.data.size()),
                                reinterpret_cast<const jbyte*>(block.data.data()));
    }
    if (Pending(env)) return nullptr;
    return object.Obj("data", "[B", data)
        .Int("bytesRead", static_cast<jint>(block.bytesRead))
        .Str("error", block.error)
        .get();
}

jobject CreateEvalResult(JNIEnv* env, const EvalResult& result) {
    JavaObject object(env, LEGACY_CLASS("EvalResult"));
    object.Bool("success", result.success).Str("error", result.error);
    if (result.success && object.get() != nullptr) {
        jobject variable = CreateVariable(env, result.result);
        if (Pending(env)) return nullptr;
        object.Obj("result", LEGACY_SIG("Variable"), variable);
    }
    return object.get();
}

jobject CreateDebugEvent(JNIEnv* env, const DebugEvent& event) {
    jobject type = EnumConstant(env, "EventType", event.type);
    jobject newState = Pending(env) ? nullptr : EnumConstant(env, "ProcessState", event.newState);
    jobject stopInfo = Pending(env) ? nullptr : CreateStopInfo(env, event.stopInfo);
    if (Pending(env)) return nullptr;
    return JavaObject(env, LEGACY_CLASS("DebugEvent"))
        .Obj("type", LEGACY_SIG("EventType"), type)
        .Obj("newState", LEGACY_SIG("ProcessState"), newState)
        .Int("breakpointId", event.breakpointId)
        .Obj("stopInfo", LEGACY_SIG("StopInfo"), stopInfo)
        .Str("outputData", event.inferiorStdout)
        .get();
}

jobject CreateBreakpointList(JNIEnv* env, const std::vector<Breakpoint>& breakpoints) {
    return CreateModelList(env, breakpoints, CreateBreakpoint);
}

jobject CreateThreadList(JNIEnv* env, const std::vector<Thread>& threads) {
    return CreateModelList(env, threads, CreateThread);
}

jobject CreateRegisterSetList(JNIEnv* env, const std::vector<RegisterSet>& sets) {
    return CreateModelList(env, sets, CreateRegisterSet);
}

}  // namespace nativescope
