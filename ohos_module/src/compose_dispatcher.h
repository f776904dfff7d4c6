// The dispatcher singleton: binds the JS environment and posts callbacks of
// the rendering layer onto the JS thread.
#ifndef CANVASPORT_COMPOSE_DISPATCHER_H
#define CANVASPORT_COMPOSE_DISPATCHER_H

#include <node_api.h>
#include <uv.h>

#include <mutex>
#include <set>
#include <thread>

namespace canvasport {

// One posted callback; owned by the machinery until its callback has run.
struct DispatchItem {
    float delay;
    void* data;
    napi_env env;
    void (*callback)(void*);
    napi_async_work work;
};

class ComposeDispatcher {
public:
    static ComposeDispatcher* sharedInstance();

    void bindJSEnv(napi_env env);
    void processJSEnv(napi_env env);

    // Both report whether the callback was accepted; a refused callback
    // never runs and nothing of it is kept.
    bool dispatchAsyncTask(float delay, void* data, void (*callback)(void*)) const;
    bool dispatchAsyncWork(void* data, void (*callback)(void*)) const;

    static void WorkCallback(uv_work_t* req);
    static void AfterWorkCallback(uv_work_t* req, int status);

    napi_env getCurrentEnv() const;
    // The bound environment when called on its JS thread, null otherwise:
    // N-API calls are allowed only there.
    napi_env getEnvOnJSThread() const;

    // On the JS thread: an item of the thread-safe function whose context is
    // queue is being handled.
    void itemLeftQueue(napi_env env, void* queue);

    napi_value getPlatformProvider() const;
    void setPlatformProvider(napi_env env, napi_value provider);

private:
    ComposeDispatcher() = default;

    static void OnEnvTeardown(void* env);
    bool isLiveEnv(napi_env env) const;
    void watchEnvTeardown(napi_env env);

    napi_ref platformProviderRef = nullptr;
    napi_threadsafe_function workItemFunction = nullptr;
    napi_env currentEnv = nullptr;

    // Guards the hand-over state read by posting threads: currentEnv,
    // workItemFunction, jsThread_ and liveEnvs_.
    mutable std::mutex mutex_;
    std::thread::id jsThread_;
    // Environments bound at some time and not yet torn down.
    std::set<napi_env> liveEnvs_;
};

}  // namespace canvasport

#endif
