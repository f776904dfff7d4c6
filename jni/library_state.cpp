#include "library_state.h"

#include <mutex>
#include <unordered_set>

namespace nativescope {

JavaVM* g_jvm = nullptr;
std::string g_lastAttachError;
std::string g_lastInterpreterOutput;
std::string g_specPlatformName = "remote-ohos";
jlong g_specEngineHandle = 0;
jlong g_listenerHandle = 0;
jobject g_listenerRef = nullptr;
jmethodID g_onEventMid = nullptr;

namespace {
std::mutex g_liveMutex;
std::unordered_set<jlong>& LiveSet() {
    static std::unordered_set<jlong> live;
    return live;
}
}  // namespace

jlong AdoptEngine(lldb_debug::DebugEngine* engine) {
    const jlong handle = static_cast<jlong>(reinterpret_cast<intptr_t>(engine));
    std::lock_guard<std::mutex> lock(g_liveMutex);
    LiveSet().insert(handle);
    return handle;
}

lldb_debug::DebugEngine* LiveEngine(jlong handle) {
    if (handle == 0) return nullptr;
    std::lock_guard<std::mutex> lock(g_liveMutex);
    if (LiveSet().count(handle) == 0) return nullptr;
    return reinterpret_cast<lldb_debug::DebugEngine*>(static_cast<intptr_t>(handle));
}

bool DestroyEngine(jlong handle) {
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        if (LiveSet().erase(handle) == 0) return false;
    }
    delete reinterpret_cast<lldb_debug::DebugEngine*>(static_cast<intptr_t>(handle));
    return true;
}

lldb_debug::DebugEngine* CurrentEngine() { return LiveEngine(g_specEngineHandle); }

void ReleaseListenerSlot(JNIEnv* env, jlong handle) {
    if (handle != 0 && handle != g_listenerHandle) return;
    if (lldb_debug::DebugEngine* owner = LiveEngine(g_listenerHandle)) owner->ClearEventCallback();
    if (g_listenerRef != nullptr && env != nullptr) env->DeleteGlobalRef(g_listenerRef);
    g_listenerRef = nullptr;
    g_listenerHandle = 0;
    g_onEventMid = nullptr;
}

}  // namespace nativescope
