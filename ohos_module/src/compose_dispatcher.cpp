#include "compose_dispatcher.h"

#include <atomic>
#include <new>

#include "canvasport/canvasport.h"
#include "log.h"
#include "napi_util.h"

namespace canvasport {

namespace {

// Deletes the item when the JS function that carries it is collected, so
// an item is freed whether or not its timer ever fires.
void FinalizeTimerItem(napi_env /*env*/, void* data, void* /*hint*/)
{
    delete static_cast<DispatchItem*>(data);
}

napi_value TimerCallback(napi_env env, napi_callback_info info)
{
    void* data = nullptr;
    if (napi_get_cb_info(env, info, nullptr, nullptr, nullptr, &data) != napi_ok || data == nullptr) {
        return nullptr;
    }
    auto* item = static_cast<DispatchItem*>(data);
    // A timer function may be called again by a replaced setTimeout; the
    // callback runs once.
    void (*callback)(void*) = item->callback;
    item->callback = nullptr;
    if (callback != nullptr) {
        callback(item->data);
    }
    return nullptr;
}

void RunThroughTimer(napi_env env, DispatchItem* item)
{
    napi_value global = nullptr;
    napi_value setTimeout = nullptr;
    if (napi_get_global(env, &global) != napi_ok || !GetNamedProperty(env, global, "setTimeout", &setTimeout) ||
        !IsFunction(env, setTimeout)) {
        CANVASPORT_LOGE("canvasport::ComposeDispatcher setTimeout is not a function");
        delete item;
        return;
    }
    napi_value function = nullptr;
    if (napi_create_function(env, "canvas_port_timerout_callback", NAPI_AUTO_LENGTH, TimerCallback, item,
                             &function) != napi_ok) {
        ClearPendingException(env);
        delete item;
        return;
    }
    if (napi_add_finalizer(env, function, item, FinalizeTimerItem, nullptr, nullptr) != napi_ok) {
        ClearPendingException(env);
        delete item;
        return;
    }
    napi_value args[2] = {function, nullptr};
    if (napi_create_double(env, static_cast<double>(item->delay), &args[1]) != napi_ok ||
        !CallFunction(env, global, setTimeout, 2, args, nullptr)) {
        CANVASPORT_LOGE("canvasport::ComposeDispatcher setTimeout failed");
    }
}

// Context of the thread-safe function. The function is unref'ed so that it
// does not keep the event loop alive on its own; while items posted on the
// JS thread wait in it, it is ref'ed, so that they run before the loop ends
// (as a queued loop request would).
struct WorkQueue {
    std::atomic<int> pending{0};
    bool holdsLoop = false;  // JS thread only
};

void FinalizeWorkQueue(napi_env /*env*/, void* data, void* /*hint*/)
{
    delete static_cast<WorkQueue*>(data);
}

// On the JS thread, after an item left the queue.
void ReleaseLoopIfIdle(napi_env env, napi_threadsafe_function function, WorkQueue* queue)
{
    if (--queue->pending == 0 && queue->holdsLoop) {
        queue->holdsLoop = false;
        napi_unref_threadsafe_function(env, function);
    }
}

// Runs on the JS thread; as the thread-safe function's callback it gets a
// null env for items still queued when the environment is torn down.
void HandleDispatchItem(napi_env env, napi_value /*jsCallback*/, void* context, void* data)
{
    auto* item = static_cast<DispatchItem*>(data);
    if (item == nullptr) {
        return;
    }
    if (env != nullptr && context != nullptr) {
        ComposeDispatcher::sharedInstance()->itemLeftQueue(env, static_cast<WorkQueue*>(context));
    }
    if (env == nullptr || item->callback == nullptr) {
        delete item;
        return;
    }
    if (!(item->delay > 0)) {
        item->callback(item->data);
        delete item;
        return;
    }
    RunThroughTimer(env, item);
}

// Dispatches an item from a libuv completion, which is outside any JS
// callback: it needs a handle scope and a callback scope (for microtasks)
// of its own.
void HandleItemOutsideJS(napi_env env, DispatchItem* item)
{
    HandleScope handleScope(env);
    napi_value resource = nullptr;
    napi_value name = nullptr;
    napi_async_context context = nullptr;
    napi_callback_scope scope = nullptr;
    if (napi_create_object(env, &resource) == napi_ok &&
        napi_create_string_utf8(env, "canvasport_workItem", NAPI_AUTO_LENGTH, &name) == napi_ok &&
        napi_async_init(env, resource, name, &context) == napi_ok) {
        if (napi_open_callback_scope(env, resource, context, &scope) != napi_ok) {
            scope = nullptr;
        }
    }
    HandleDispatchItem(env, nullptr, nullptr, item);
    bool pending = false;
    if (napi_is_exception_pending(env, &pending) == napi_ok && pending) {
        CANVASPORT_LOGE("canvasport::ComposeDispatcher task left a JS exception behind");
        ClearPendingException(env);
    }
    if (scope != nullptr) {
        napi_close_callback_scope(env, scope);
    }
    if (context != nullptr) {
        napi_async_destroy(env, context);
    }
}

void ExecuteNothing(napi_env /*env*/, void* /*data*/) {}

void CompleteAsyncWork(napi_env /*env*/, napi_status /*status*/, void* data)
{
    auto* item = static_cast<DispatchItem*>(data);
    if (item == nullptr) {
        return;
    }
    item->callback(item->data);
    napi_delete_async_work(item->env, item->work);
    delete item;
}

// Carries an async-work request from another thread to the JS thread.
struct ForwardedWork {
    void* data;
    void (*callback)(void*);
};

void QueueForwardedWork(void* data)
{
    auto* forwarded = static_cast<ForwardedWork*>(data);
    ComposeDispatcher::sharedInstance()->dispatchAsyncWork(forwarded->data, forwarded->callback);
    delete forwarded;
}

DispatchItem* NewItem(napi_env env, float delay, void* data, void (*callback)(void*))
{
    auto* item = new (std::nothrow) DispatchItem{};
    if (item != nullptr) {
        item->delay = delay;
        item->data = data;
        item->env = env;
        item->callback = callback;
    }
    return item;
}

}  // namespace

ComposeDispatcher* ComposeDispatcher::sharedInstance()
{
    static std::once_flag once;
    static ComposeDispatcher* instance = nullptr;
    std::call_once(once, [] { instance = new ComposeDispatcher(); });
    return instance;
}

void ComposeDispatcher::bindJSEnv(napi_env env)
{
    processJSEnv(env);
}

void ComposeDispatcher::processJSEnv(napi_env env)
{
    if (env == nullptr) {
        return;
    }
    std::lock_guard<std::mutex> lock(mutex_);
    bool sameThread = jsThread_ == std::this_thread::get_id();
    // A provider never survives a re-binding. Its reference can only be
    // deleted on its own environment's thread; one left on another thread
    // goes with that environment.
    if (platformProviderRef != nullptr && currentEnv != nullptr && sameThread) {
        napi_delete_reference(currentEnv, platformProviderRef);
    }
    platformProviderRef = nullptr;
    if (workItemFunction != nullptr) {
        // Items already queued still run; then the old function closes.
        napi_release_threadsafe_function(workItemFunction, napi_tsfn_release);
        workItemFunction = nullptr;
    }
    currentEnv = env;
    jsThread_ = std::this_thread::get_id();

    napi_value name = nullptr;
    napi_threadsafe_function function = nullptr;
    auto* queue = new (std::nothrow) WorkQueue();
    if (queue == nullptr || napi_create_string_utf8(env, "canvasport_workItem", NAPI_AUTO_LENGTH, &name) != napi_ok ||
        napi_create_threadsafe_function(env, nullptr, nullptr, name, 0, 1, queue, FinalizeWorkQueue, queue,
                                        HandleDispatchItem, &function) != napi_ok) {
        ClearPendingException(env);
        CANVASPORT_LOGE("canvasport::ComposeDispatcher napi_create_threadsafe_function fail");
        delete queue;
        function = nullptr;
    } else {
        // The function must not keep the event loop alive on its own.
        napi_unref_threadsafe_function(env, function);
    }
    workItemFunction = function;
    watchEnvTeardown(env);
}

// Registers the teardown hook after the thread-safe function was created:
// hooks run last-in first-out, so ours forgets the function before the
// runtime frees it.
void ComposeDispatcher::watchEnvTeardown(napi_env env)
{
    if (liveEnvs_.count(env) != 0) {
        napi_remove_env_cleanup_hook(env, OnEnvTeardown, env);
    }
    if (napi_add_env_cleanup_hook(env, OnEnvTeardown, env) == napi_ok) {
        liveEnvs_.insert(env);
    } else {
        liveEnvs_.erase(env);
    }
}

void ComposeDispatcher::OnEnvTeardown(void* arg)
{
    auto env = static_cast<napi_env>(arg);
    ComposeDispatcher* self = sharedInstance();
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->liveEnvs_.erase(env);
    if (self->currentEnv == env) {
        // The runtime frees the function and the reference with the environment.
        self->currentEnv = nullptr;
        self->workItemFunction = nullptr;
        self->platformProviderRef = nullptr;
        self->jsThread_ = std::thread::id();
    }
}

void ComposeDispatcher::itemLeftQueue(napi_env env, void* queue)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (workItemFunction == nullptr || currentEnv != env) {
        return;  // an item of a released function
    }
    void* context = nullptr;
    napi_get_threadsafe_function_context(workItemFunction, &context);
    if (context == queue) {
        ReleaseLoopIfIdle(env, workItemFunction, static_cast<WorkQueue*>(queue));
    }
}

bool ComposeDispatcher::isLiveEnv(napi_env env) const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return liveEnvs_.count(env) != 0;
}

bool ComposeDispatcher::dispatchAsyncTask(float delay, void* data, void (*callback)(void*)) const
{
    if (callback == nullptr) {
        return false;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    napi_env env = currentEnv;
    if (env == nullptr) {
        return false;
    }
    DispatchItem* item = NewItem(env, delay, data, callback);
    if (item == nullptr) {
        return false;
    }

    // All posts go through the thread-safe function: it may be called from
    // any thread (libuv itself only from the loop's thread) and its one
    // queue keeps posts in order, which the thread pool behind
    // uv_queue_work does not. The lock keeps the function from being torn
    // down during the call.
    if (workItemFunction != nullptr) {
        void* context = nullptr;
        napi_get_threadsafe_function_context(workItemFunction, &context);
        auto* queue = static_cast<WorkQueue*>(context);
        ++queue->pending;
        if (napi_call_threadsafe_function(workItemFunction, item, napi_tsfn_nonblocking) != napi_ok) {
            --queue->pending;
            delete item;
            return false;
        }
        if (jsThread_ == std::this_thread::get_id() && !queue->holdsLoop) {
            queue->holdsLoop = true;
            napi_ref_threadsafe_function(env, workItemFunction);
        }
        return true;
    }
    // Without the function only the loop's own thread can post, through a
    // loop request.
    if (jsThread_ != std::this_thread::get_id()) {
        delete item;
        return false;
    }
    lock.unlock();

    uv_loop_s* loop = nullptr;
    auto* req = new (std::nothrow) uv_work_t{};
    if (req == nullptr || napi_get_uv_event_loop(env, &loop) != napi_ok || loop == nullptr) {
        delete req;
        delete item;
        return false;
    }
    req->data = item;
    if (uv_queue_work(loop, req, WorkCallback, AfterWorkCallback) != 0) {
        delete req;
        delete item;
        return false;
    }
    return true;
}

void ComposeDispatcher::WorkCallback(uv_work_t* /*req*/) {}

void ComposeDispatcher::AfterWorkCallback(uv_work_t* req, int /*status*/)
{
    if (req == nullptr) {
        return;
    }
    auto* item = static_cast<DispatchItem*>(req->data);
    delete req;
    if (item == nullptr) {
        return;
    }
    // The environment may have been torn down while the request was queued.
    if (!sharedInstance()->isLiveEnv(item->env)) {
        delete item;
        return;
    }
    HandleItemOutsideJS(item->env, item);
}

bool ComposeDispatcher::dispatchAsyncWork(void* data, void (*callback)(void*)) const
{
    if (callback == nullptr) {
        return false;
    }
    napi_env env = getEnvOnJSThread();
    if (env == nullptr) {
        // N-API may be called only on the JS thread: hop there first.
        auto* forwarded = new (std::nothrow) ForwardedWork{data, callback};
        if (forwarded == nullptr) {
            return false;
        }
        if (!dispatchAsyncTask(0, forwarded, QueueForwardedWork)) {
            delete forwarded;
            return false;
        }
        return true;
    }
    DispatchItem* item = NewItem(env, 0, data, callback);
    if (item == nullptr) {
        return false;
    }

    HandleScope scope(env);
    napi_value name = nullptr;
    if (napi_create_string_utf8(env, "Work", NAPI_AUTO_LENGTH, &name) != napi_ok ||
        napi_create_async_work(env, nullptr, name, ExecuteNothing, CompleteAsyncWork, item, &item->work) !=
            napi_ok) {
        ClearPendingException(env);
        delete item;
        return false;
    }
    if (napi_queue_async_work(env, item->work) != napi_ok) {
        napi_delete_async_work(env, item->work);
        delete item;
        return false;
    }
    return true;
}

napi_env ComposeDispatcher::getCurrentEnv() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return currentEnv;
}

napi_env ComposeDispatcher::getEnvOnJSThread() const
{
    std::lock_guard<std::mutex> lock(mutex_);
    return jsThread_ == std::this_thread::get_id() ? currentEnv : nullptr;
}

}  // namespace canvasport

extern "C" {

void canvasport_compose_coroutines_dispatcher_bind_jsenv(napi_env env)
{
    canvasport::ComposeDispatcher::sharedInstance()->bindJSEnv(env);
}

void canvasport_compose_coroutines_dispatcher_async_task(float delay, void* data, void (*callback)(void*))
{
    if (callback == nullptr) {
        return;
    }
    canvasport::ComposeDispatcher::sharedInstance()->dispatchAsyncTask(delay, data, callback);
}

void canvasport_compose_coroutines_dispatcher_async_work(void* data, void (*callback)(void*))
{
    if (callback == nullptr) {
        return;
    }
    canvasport::ComposeDispatcher::sharedInstance()->dispatchAsyncWork(data, callback);
}

napi_env canvasport_get_current_napi_env(void)
{
    return canvasport::ComposeDispatcher::sharedInstance()->getCurrentEnv();
}

}  // extern "C"
