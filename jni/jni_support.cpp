#include "jni_support.h"

#include "core/text_conversion.h"

namespace nativescope {

std::string FromJstring(JNIEnv* env, jstring text) {
    if (text == nullptr) return "";
    const char* chars = env->GetStringUTFChars(text, nullptr);
    if (chars == nullptr) return "";
    std::string result(chars);
    env->ReleaseStringUTFChars(text, chars);
    return result;
}

jstring ToJstring(JNIEnv* env, const std::string& text) {
    if (text.empty()) return env->NewStringUTF("");
    if (IsAllAscii(text)) return env->NewStringUTF(text.c_str());
    const std::u16string units = Utf8ToUtf16Units(text);
    if (units.empty()) return env->NewStringUTF("");
    jstring result = env->NewString(reinterpret_cast<const jchar*>(units.data()), static_cast<jsize>(units.size()));
    if (result == nullptr) {
        if (env->ExceptionCheck()) return nullptr;  // out of memory: leave it to the caller
        return env->NewStringUTF("");
    }
    return result;
}

jobject GetEnumByOrdinal(JNIEnv* env, const char* simpleName, int ordinal) {
    const std::string className = std::string("org/qzt/kmp/tools/lldb/debug/") + simpleName;
    jclass cls = env->FindClass(className.c_str());
    if (cls == nullptr) return nullptr;
    if (ordinal < 0) return nullptr;
    const std::string signature = "()[L" + className + ";";
    jmethodID values = env->GetStaticMethodID(cls, "values", signature.c_str());
    if (values == nullptr) return nullptr;
    auto array = static_cast<jobjectArray>(env->CallStaticObjectMethod(cls, values));
    if (array == nullptr || env->ExceptionCheck()) return nullptr;
    if (ordinal >= env->GetArrayLength(array)) return nullptr;
    return env->GetObjectArrayElement(array, ordinal);
}

JavaObject::JavaObject(JNIEnv* env, const char* className) : JavaObject(env, env->FindClass(className)) {}

JavaObject::JavaObject(JNIEnv* env, jclass cls) : env_(env), cls_(cls) {
    if (cls_ == nullptr) return;
    object_ = env_->AllocObject(cls_);
    ok_ = object_ != nullptr;
}

jfieldID JavaObject::Field(const char* name, const char* signature) {
    if (!ok_) return nullptr;
    jfieldID id = env_->GetFieldID(cls_, name, signature);
    if (id == nullptr) ok_ = false;
    return id;
}

JavaObject& JavaObject::Int(const char* field, jint value) {
    if (jfieldID id = Field(field, "I")) env_->SetIntField(object_, id, value);
    return *this;
}

JavaObject& JavaObject::Long(const char* field, jlong value) {
    if (jfieldID id = Field(field, "J")) env_->SetLongField(object_, id, value);
    return *this;
}

JavaObject& JavaObject::Bool(const char* field, bool value) {
    if (jfieldID id = Field(field, "Z")) env_->SetBooleanField(object_, id, value ? JNI_TRUE : JNI_FALSE);
    return *this;
}

JavaObject& JavaObject::Str(const char* field, const std::string& value) {
    if (jfieldID id = Field(field, "Ljava/lang/String;")) {
        jstring text = ToJstring(env_, value);
        env_->SetObjectField(object_, id, text);
        if (text != nullptr) env_->DeleteLocalRef(text);
    }
    return *this;
}

JavaObject& JavaObject::Obj(const char* field, const char* signature, jobject value) {
    if (jfieldID id = Field(field, signature)) env_->SetObjectField(object_, id, value);
    return *this;
}

}  // namespace nativescope
