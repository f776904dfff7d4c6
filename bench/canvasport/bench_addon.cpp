// Benchmark addon: measures canvasport's dispatch round trip from a native
// thread against a plain thread-safe function, and touch event creation.
#include <dlfcn.h>
#include <node_api.h>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct CanvasportNativeTouchEvent;

namespace {

void (*g_asyncTask)(float, void*, void (*)(void*)) = nullptr;
CanvasportNativeTouchEvent* (*g_createTouchEvent)(napi_value) = nullptr;
void (*g_deleteTouchEvent)(CanvasportNativeTouchEvent*) = nullptr;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

napi_value Fail(napi_env env, const char* message)
{
    napi_throw_error(env, nullptr, message);
    return nullptr;
}

// attach(path): resolves the exports used here from the loaded module.
napi_value Attach(napi_env env, napi_callback_info info)
{
    size_t argc = 1;
    napi_value arg = nullptr;
    napi_get_cb_info(env, info, &argc, &arg, nullptr, nullptr);
    char path[4096] = {0};
    size_t length = 0;
    napi_get_value_string_utf8(env, arg, path, sizeof(path), &length);
    void* handle = dlopen(path, RTLD_LAZY | RTLD_NOLOAD);
    if (handle == nullptr) {
        return Fail(env, "canvasport is not loaded");
    }
    g_asyncTask = reinterpret_cast<decltype(g_asyncTask)>(
        dlsym(handle, "canvasport_compose_coroutines_dispatcher_async_task"));
    g_createTouchEvent = reinterpret_cast<decltype(g_createTouchEvent)>(
        dlsym(handle, "canvasport_create_native_touch_event_from_jsevent"));
    g_deleteTouchEvent =
        reinterpret_cast<decltype(g_deleteTouchEvent)>(dlsym(handle, "canvasport_delete_native_touch_event"));
    if (g_asyncTask == nullptr || g_createTouchEvent == nullptr || g_deleteTouchEvent == nullptr) {
        return Fail(env, "canvasport exports missing");
    }
    return nullptr;
}

// One round-trip run: a native thread posts, waits for the callback on the
// JS thread, and posts the next.
struct RoundTrip {
    napi_env env = nullptr;
    napi_deferred deferred = nullptr;
    napi_threadsafe_function plain = nullptr;  // baseline; also keeps the loop alive
    bool viaCanvasport = false;
    size_t count = 0;
    std::vector<int64_t> latencies;
    int64_t postedAt = 0;
    std::mutex mutex;
    std::condition_variable arrived;
    bool done = false;
    std::thread poster;
};

void Resolve(RoundTrip* run)
{
    napi_env env = run->env;
    run->poster.join();
    napi_value array = nullptr;
    napi_create_array_with_length(env, run->latencies.size(), &array);
    for (size_t i = 0; i < run->latencies.size(); ++i) {
        napi_value value = nullptr;
        napi_create_double(env, static_cast<double>(run->latencies[i]), &value);
        napi_set_element(env, array, static_cast<uint32_t>(i), value);
    }
    napi_resolve_deferred(env, run->deferred, array);
    napi_release_threadsafe_function(run->plain, napi_tsfn_release);
    delete run;
}

// On the JS thread, for either path.
void Arrive(RoundTrip* run)
{
    int64_t now = NowNs();
    bool last = false;
    {
        std::lock_guard<std::mutex> lock(run->mutex);
        run->latencies.push_back(now - run->postedAt);
        run->done = true;
        last = run->latencies.size() == run->count;
    }
    run->arrived.notify_one();
    if (last) {
        Resolve(run);
    }
}

void ArriveFromCanvasport(void* data)
{
    Arrive(static_cast<RoundTrip*>(data));
}

void ArriveFromPlain(napi_env /*env*/, napi_value /*js*/, void* /*context*/, void* data)
{
    Arrive(static_cast<RoundTrip*>(data));
}

void Post(RoundTrip* run)
{
    for (size_t i = 0; i < run->count; ++i) {
        std::unique_lock<std::mutex> lock(run->mutex);
        run->done = false;
        run->postedAt = NowNs();
        lock.unlock();
        if (run->viaCanvasport) {
            g_asyncTask(0, run, ArriveFromCanvasport);
        } else {
            napi_call_threadsafe_function(run->plain, run, napi_tsfn_nonblocking);
        }
        lock.lock();
        if (i + 1 < run->count) {
            run->arrived.wait(lock, [run] { return run->done; });
        }
    }
}

// roundTrip(viaCanvasport, count): promise of the latencies in nanoseconds.
napi_value RoundTripRun(napi_env env, napi_callback_info info)
{
    size_t argc = 2;
    napi_value args[2] = {nullptr, nullptr};
    napi_get_cb_info(env, info, &argc, args, nullptr, nullptr);
    auto* run = new RoundTrip();
    uint32_t count = 0;
    napi_get_value_bool(env, args[0], &run->viaCanvasport);
    napi_get_value_uint32(env, args[1], &count);
    if (count == 0) {
        delete run;
        return Fail(env, "count must be positive");
    }
    run->env = env;
    run->count = count;
    run->latencies.reserve(count);
    napi_value promise = nullptr;
    napi_value name = nullptr;
    napi_create_promise(env, &run->deferred, &promise);
    napi_create_string_utf8(env, "bench_plain", NAPI_AUTO_LENGTH, &name);
    napi_create_threadsafe_function(env, nullptr, nullptr, name, 0, 1, nullptr, nullptr, nullptr, ArriveFromPlain,
                                    &run->plain);
    run->poster = std::thread(Post, run);
    return promise;
}

// touchCreate(event, iterations): creation time of each record, in ns.
napi_value TouchCreate(napi_env env, napi_callback_info info)
{
    size_t argc = 2;
    napi_value args[2] = {nullptr, nullptr};
    napi_get_cb_info(env, info, &argc, args, nullptr, nullptr);
    uint32_t iterations = 0;
    napi_get_value_uint32(env, args[1], &iterations);
    napi_value array = nullptr;
    napi_create_array_with_length(env, iterations, &array);
    for (uint32_t i = 0; i < iterations; ++i) {
        int64_t start = NowNs();
        CanvasportNativeTouchEvent* event = g_createTouchEvent(args[0]);
        int64_t elapsed = NowNs() - start;
        g_deleteTouchEvent(event);
        napi_value value = nullptr;
        napi_create_double(env, static_cast<double>(elapsed), &value);
        napi_set_element(env, array, i, value);
    }
    return array;
}

}  // namespace

NAPI_MODULE_INIT()
{
    napi_property_descriptor properties[] = {
        {"attach", nullptr, Attach, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"roundTrip", nullptr, RoundTripRun, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"touchCreate", nullptr, TouchCreate, nullptr, nullptr, nullptr, napi_default, nullptr},
    };
    napi_define_properties(env, exports, sizeof(properties) / sizeof(properties[0]), properties);
    return exports;
}
