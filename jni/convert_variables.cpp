#include "convert_variables.h"

#include <cinttypes>
#include <cstdio>

#include "jni_support.h"
#include "core/value_handle_registry.h"

using namespace lldb_debug;

namespace nativescope {
namespace {
constexpr const char* kVariableInfoClass = "org/qzt/kmp/tools/ohos/debugger/jni/VariableInfo";
constexpr const char* kPageClass = "org/qzt/kmp/tools/ohos/debugger/jni/FrameVariablesPage";
constexpr const char* kPageCtorSig = "(I[Lorg/qzt/kmp/tools/ohos/debugger/jni/VariableInfo;)V";
constexpr const char* kEvaluationResultClass = "org/qzt/kmp/tools/ohos/debugger/jni/EvaluationResult";
}  // namespace

std::string VariableAddressText(uint64_t address) {
    if (address == 0) return "";
    char buffer[24];
    std::snprintf(buffer, sizeof buffer, "0x%" PRIx64, address);
    return buffer;
}

namespace {
jobject NewVariableInfo(JNIEnv* env, jclass cls, const Variable& variable, jlong valueHandle) {
    return JavaObject(env, cls)
        .Str("name", variable.name)
        .Str("value", variable.value)
        .Str("type", variable.type)
        .Bool("hasChildren", variable.hasChildren)
        .Int("childCount", static_cast<jint>(variable.numChildren))
        .Long("valueHandle", valueHandle)
        .Str("address", VariableAddressText(variable.address))
        .get();
}
}  // namespace

jobject CreateSpecVariableInfo(JNIEnv* env, const Variable& variable, jlong valueHandle) {
    jclass cls = env->FindClass(kVariableInfoClass);
    if (cls == nullptr) return nullptr;
    jobject object = NewVariableInfo(env, cls, variable, valueHandle);
    env->DeleteLocalRef(cls);
    return object;
}

jobjectArray NewJniVariableInfoArray(JNIEnv* env, const std::vector<Variable>& variables, jlong engine) {
    // One class reference for the whole array: a 10,000-child expansion makes no
    // 10,000 class look-ups and piles up no local references.
    jclass cls = env->FindClass(kVariableInfoClass);
    if (cls == nullptr) return nullptr;
    jobjectArray array = MakeObjectArray(env, kVariableInfoClass, variables, [engine, cls](JNIEnv* e, const Variable& variable) {
        if (e->ExceptionCheck()) return jobject{nullptr};
        const jlong handle = ValueHandles().Register(engine, variable.variableId);
        return NewVariableInfo(e, cls, variable, handle);
    });
    env->DeleteLocalRef(cls);
    return array;
}

jobject CreateFrameVariablesPage(JNIEnv* env, const DebugEngine::FrameVariablesPageResult& page, jlong engine) {
    jclass pageClass = env->FindClass(kPageClass);
    if (pageClass == nullptr) return nullptr;
    jmethodID ctor = env->GetMethodID(pageClass, "<init>", kPageCtorSig);
    if (ctor == nullptr || env->FindClass(kVariableInfoClass) == nullptr) return nullptr;
    jobjectArray array = NewJniVariableInfoArray(env, page.variables, engine);
    if (array == nullptr || env->ExceptionCheck()) return nullptr;
    return env->NewObject(pageClass, ctor, static_cast<jint>(page.totalFiltered), array);
}

jobject CreateEvaluationResult(JNIEnv* env, const EvalResult& result) {
    return JavaObject(env, kEvaluationResultClass)
        .Bool("success", result.success)
        .Str("value", result.success ? result.result.value : std::string())
        .Str("type", result.success ? result.result.type : std::string())
        .Str("errorMessage", result.error)
        .get();
}

}  // namespace nativescope
