#include "library_state.h"

#include <mutex>
#include <unordered_map>

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
// Handle (the engine's address, as Java has always seen it) to engine. Never
// destroyed: engines Java did not destroy must not be torn down by static
// destructors at process exit, after LLDB itself may already be gone.
std::unordered_map<jlong, EngineRef>& LiveEngines() {
    static auto* live = new std::unordered_map<jlong, EngineRef>();
    return *live;
}
}  // namespace

jlong AdoptEngine(std::unique_ptr<lldb_debug::DebugEngine> engine) {
    const jlong handle = static_cast<jlong>(reinterpret_cast<intptr_t>(engine.get()));
    std::lock_guard<std::mutex> lock(g_liveMutex);
    LiveEngines().emplace(handle, EngineRef(std::move(engine)));
    return handle;
}

EngineRef LiveEngine(jlong handle) {
    if (handle == 0) return nullptr;
    std::lock_guard<std::mutex> lock(g_liveMutex);
    auto it = LiveEngines().find(handle);
    return it == LiveEngines().end() ? nullptr : it->second;
}

bool DestroyEngine(jlong handle) {
    EngineRef doomed;  // released outside the lock: teardown talks to LLDB
    {
        std::lock_guard<std::mutex> lock(g_liveMutex);
        auto it = LiveEngines().find(handle);
        if (it == LiveEngines().end()) return false;
        doomed = std::move(it->second);
        LiveEngines().erase(it);
    }
    return true;
}

EngineRef CurrentEngine() { return LiveEngine(g_specEngineHandle); }

void ReleaseListenerSlot(JNIEnv* env, jlong handle) {
    if (handle != 0 && handle != g_listenerHandle) return;
    if (EngineRef owner = LiveEngine(g_listenerHandle)) owner->ClearEventCallback();
    if (g_listenerRef != nullptr && env != nullptr) env->DeleteGlobalRef(g_listenerRef);
    g_listenerRef = nullptr;
    g_listenerHandle = 0;
    g_onEventMid = nullptr;
}

}  // namespace nativescope
