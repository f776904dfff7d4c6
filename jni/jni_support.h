// Shared pieces of every native: text conversion, Java object building, enum
// look-up and the exception barrier.
#pragma once

#include <jni.h>

#include <cstdint>
#include <string>
#include <vector>

// Exported names of the two Java interfaces' natives.
#define WRAPPER_NATIVE(name) Java_org_qzt_kmp_tools_ohos_debugger_jni_LLDBNativeWrapper_##name
#define LEGACY_NATIVE(name) Java_lldb_debug_LldbDebugEngine_##name

namespace nativescope {

std::string FromJstring(JNIEnv* env, jstring text);
jstring ToJstring(JNIEnv* env, const std::string& text);

// Constant `ordinal` of enum org.qzt.kmp.tools.lldb.debug.<simpleName>, or null.
jobject GetEnumByOrdinal(JNIEnv* env, const char* simpleName, int ordinal);

// A result object made with AllocObject (no constructor runs) and filled field by
// field. A missing class or field leaves the JVM's exception pending and makes
// get() return null, so no invalid id ever reaches a Set...Field call.
class JavaObject {
public:
    JavaObject(JNIEnv* env, const char* className);
    JavaObject(JNIEnv* env, jclass cls);

    JavaObject& Int(const char* field, jint value);
    JavaObject& Long(const char* field, jlong value);
    JavaObject& Bool(const char* field, bool value);
    JavaObject& Str(const char* field, const std::string& value);
    JavaObject& Obj(const char* field, const char* signature, jobject value);

    jobject get() const { return ok_ ? object_ : nullptr; }

private:
    jfieldID Field(const char* name, const char* signature);

    JNIEnv* env_;
    jclass cls_ = nullptr;
    jobject object_ = nullptr;
    bool ok_ = false;
};

// Array of `className` objects, one per element, built by `make`; an element
// whose conversion gives null stays null. Null when the class is missing.
template <typename T, typename Make>
jobjectArray MakeObjectArray(JNIEnv* env, const char* className, const std::vector<T>& items, Make make) {
    jclass cls = env->FindClass(className);
    if (cls == nullptr) return nullptr;
    jobjectArray array = env->NewObjectArray(static_cast<jsize>(items.size()), cls, nullptr);
    if (array == nullptr) return nullptr;
    for (size_t i = 0; i < items.size(); ++i) {
        jobject element = make(env, items[i]);
        if (element != nullptr) {
            env->SetObjectArrayElement(array, static_cast<jsize>(i), element);
            env->DeleteLocalRef(element);
        }
    }
    return array;
}

// java.util.ArrayList of the converted items (null conversions are left out).
template <typename T, typename Make>
jobject MakeArrayList(JNIEnv* env, const std::vector<T>& items, Make make) {
    jclass cls = env->FindClass("java/util/ArrayList");
    if (cls == nullptr) return nullptr;
    jmethodID ctor = env->GetMethodID(cls, "<init>", "()V");
    jmethodID add = env->GetMethodID(cls, "add", "(Ljava/lang/Object;)Z");
    if (ctor == nullptr || add == nullptr) return nullptr;
    jobject list = env->NewObject(cls, ctor);
    if (list == nullptr) return nullptr;
    for (const T& item : items) {
        jobject element = make(env, item);
        if (element != nullptr) {
            env->CallBooleanMethod(list, add, element);
            env->DeleteLocalRef(element);
        }
    }
    return list;
}

// Runs a native's body; a C++ exception never crosses into the JVM and turns into
// the native's failure value.
template <typename R, typename Body>
R Guarded(R failure, Body&& body) noexcept {
    try {
        return body();
    } catch (...) {
        return failure;
    }
}

template <typename Body>
void GuardedVoid(Body&& body) noexcept {
    try {
        body();
    } catch (...) {
    }
}

}  // namespace nativescope
