// Test addon playing the Kotlin/Native rendering layer: it calls the
// exports of the loaded canvasport module (resolved from the module itself)
// from JS, on the JS thread or from native threads of its own.
#include <dlfcn.h>
#include <fcntl.h>
#include <node_api.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstring>
#include <functional>
#include <mutex>
#include <set>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "canvasport/touch_event.h"

namespace {

// The module's exports, resolved by attach().
struct Exports {
    void (*bindJsEnv)(napi_env);
    void (*asyncTask)(float, void*, void (*)(void*));
    void (*asyncWork)(void*, void (*)(void*));
    napi_env (*currentEnv)();
    void (*logD)(const char*);
    void (*logI)(const char*);
    void (*logW)(const char*);
    void (*logE)(const char*);
    void (*setProvider)(napi_env, napi_value);
    void (*openUri)(const char*);
    int32_t (*getSystemTheme)();
    void (*clipboardSetText)(const char*);
    const char* (*clipboardGetText)();
    bool (*clipboardHasText)();
    CanvasportNativeTouchEvent* (*createTouchEvent)(napi_value);
    CanvasportNativeTouchObject* (*touchAt)(CanvasportNativeTouchEvent*, int32_t);
    CanvasportNativeTouchHistoricalPoint* (*historicalAt)(CanvasportNativeTouchEvent*, int32_t);
    void (*deleteTouchEvent)(CanvasportNativeTouchEvent*);
    void (*requestVsyncFrame)(void*, void (*)(int64_t, void*));
    void (*traceStart)(int64_t, int64_t);
    void (*traceEnd)(int64_t, int64_t);
    void (*syncTraceStart)(const char*);
    void (*syncTraceEnd)();
    void (*gcdAsync)(std::function<void()>);
    float (*screenDensity)();
    bool (*enableRuntimeLogs)();
    void (*plumeHook)();
    void (*plumeThrow)();
} g_cp;

napi_env g_addonEnv = nullptr;
napi_env g_moduleEnv = nullptr;  // the module's environment when attached
std::thread::id g_jsThread;

std::string StringArg(napi_env env, napi_value value, bool* isNull = nullptr)
{
    napi_valuetype type = napi_undefined;
    napi_typeof(env, value, &type);
    if (isNull != nullptr) {
        *isNull = type == napi_null || type == napi_undefined;
    }
    size_t length = 0;
    if (napi_get_value_string_utf8(env, value, nullptr, 0, &length) != napi_ok) {
        return std::string();
    }
    std::string text(length, '\0');
    napi_get_value_string_utf8(env, value, &text[0], length + 1, &length);
    return text;
}

struct Args {
    size_t argc = 4;
    napi_value argv[4] = {nullptr, nullptr, nullptr, nullptr};
    Args(napi_env env, napi_callback_info info) { napi_get_cb_info(env, info, &argc, argv, nullptr, nullptr); }
};

napi_value Undefined(napi_env env)
{
    napi_value value = nullptr;
    napi_get_undefined(env, &value);
    return value;
}

napi_value Bool(napi_env env, bool flag)
{
    napi_value value = nullptr;
    napi_get_boolean(env, flag, &value);
    return value;
}

napi_value Number(napi_env env, double number)
{
    napi_value value = nullptr;
    napi_create_double(env, number, &value);
    return value;
}

void SetField(napi_env env, napi_value object, const char* name, napi_value value)
{
    napi_set_named_property(env, object, name, value);
}

template <typename T>
bool Resolve(void* handle, const char* name, T& slot)
{
    slot = reinterpret_cast<T>(dlsym(handle, name));
    return slot != nullptr;
}

// attach(path, load): resolves the exports from the module at path; with
// load set the library is loaded here (before the runtime initialises it).
napi_value Attach(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    std::string path = StringArg(env, args.argv[0]);
    bool load = false;
    napi_get_value_bool(env, args.argv[1], &load);
    void* handle = dlopen(path.c_str(), RTLD_LAZY | (load ? 0 : RTLD_NOLOAD));
    if (handle == nullptr) {
        napi_throw_error(env, nullptr, (std::string("module not loaded: ") + path).c_str());
        return nullptr;
    }
    bool ok = Resolve(handle, "canvasport_compose_coroutines_dispatcher_bind_jsenv", g_cp.bindJsEnv) &&
              Resolve(handle, "canvasport_compose_coroutines_dispatcher_async_task", g_cp.asyncTask) &&
              Resolve(handle, "canvasport_compose_coroutines_dispatcher_async_work", g_cp.asyncWork) &&
              Resolve(handle, "canvasport_get_current_napi_env", g_cp.currentEnv) &&
              Resolve(handle, "canvasport_compose_logD", g_cp.logD) &&
              Resolve(handle, "canvasport_compose_logI", g_cp.logI) &&
              Resolve(handle, "canvasport_compose_logW", g_cp.logW) &&
              Resolve(handle, "canvasport_compose_logE", g_cp.logE) &&
              Resolve(handle, "canvasport_set_platform_provider", g_cp.setProvider) &&
              Resolve(handle, "canvasport_napi_open_uri", g_cp.openUri) &&
              Resolve(handle, "canvasport_napi_get_system_theme", g_cp.getSystemTheme) &&
              Resolve(handle, "canvasport_napi_clipboard_set_text", g_cp.clipboardSetText) &&
              Resolve(handle, "canvasport_napi_clipboard_get_text", g_cp.clipboardGetText) &&
              Resolve(handle, "canvasport_napi_clipboard_has_text", g_cp.clipboardHasText) &&
              Resolve(handle, "canvasport_create_native_touch_event_from_jsevent", g_cp.createTouchEvent) &&
              Resolve(handle, "canvasport_native_touch_get_touch_object_at_index", g_cp.touchAt) &&
              Resolve(handle, "canvasport_native_touch_get_historycal_point_at_index", g_cp.historicalAt) &&
              Resolve(handle, "canvasport_delete_native_touch_event", g_cp.deleteTouchEvent) &&
              Resolve(handle, "canvasport_compose_request_vsync_frame", g_cp.requestVsyncFrame) &&
              Resolve(handle, "canvasport_performance_trace_start", g_cp.traceStart) &&
              Resolve(handle, "canvasport_performance_trace_end", g_cp.traceEnd) &&
              Resolve(handle, "canvasport_performance_sync_trace_start", g_cp.syncTraceStart) &&
              Resolve(handle, "canvasport_performance_sync_trace_end", g_cp.syncTraceEnd) &&
              Resolve(handle, "canvasport_gcd_async", g_cp.gcdAsync) &&
              Resolve(handle, "canvasport_compose_get_screen_density", g_cp.screenDensity) &&
              Resolve(handle, "enableRuntimeLogs", g_cp.enableRuntimeLogs) &&
              Resolve(handle, "kotlin_native_plume_hook", g_cp.plumeHook) &&
              Resolve(handle, "kotlin_native_plume_Throw", g_cp.plumeThrow);
    if (!ok) {
        napi_throw_error(env, nullptr, dlerror());
        return nullptr;
    }
    g_moduleEnv = g_cp.currentEnv();
    return Bool(env, true);
}

// startCapture() / stopCapture(): between the two, file descriptor 2 goes
// to a temporary file; stopCapture returns what was written there.
int g_captureFile = -1;
int g_savedStderr = -1;

napi_value StartCapture(napi_env env, napi_callback_info /*info*/)
{
    if (g_captureFile >= 0) {
        napi_throw_error(env, nullptr, "capture already running");
        return nullptr;
    }
    char path[] = "/tmp/canvasport-stderr-XXXXXX";
    g_captureFile = mkstemp(path);
    if (g_captureFile < 0) {
        napi_throw_error(env, nullptr, "mkstemp failed");
        return nullptr;
    }
    unlink(path);
    std::fflush(stderr);
    g_savedStderr = dup(STDERR_FILENO);
    dup2(g_captureFile, STDERR_FILENO);
    return Undefined(env);
}

napi_value StopCapture(napi_env env, napi_callback_info /*info*/)
{
    if (g_captureFile < 0) {
        napi_throw_error(env, nullptr, "no capture running");
        return nullptr;
    }
    std::fflush(stderr);
    dup2(g_savedStderr, STDERR_FILENO);
    close(g_savedStderr);
    std::string text;
    char chunk[4096];
    ssize_t n = 0;
    lseek(g_captureFile, 0, SEEK_SET);
    while ((n = read(g_captureFile, chunk, sizeof(chunk))) > 0) {
        text.append(chunk, static_cast<size_t>(n));
    }
    close(g_captureFile);
    g_captureFile = -1;
    napi_value result = nullptr;
    napi_create_string_utf8(env, text.data(), text.size(), &result);
    return result;
}

// A JS function waiting for a callback of the module.
struct Probe {
    napi_ref function = nullptr;
    std::atomic<bool> posted{false};
    int64_t timestamp = 0;
};

Probe* NewProbe(napi_env env, napi_value function)
{
    auto* probe = new Probe();
    napi_create_reference(env, function, 1, &probe->function);
    return probe;
}

// Reports to the probe's JS function where and when it ran; an exception of
// that function is raised as an uncaught exception so that a test fails.
void FireProbe(Probe* probe, bool withTimestamp)
{
    napi_env env = g_addonEnv;
    napi_handle_scope scope = nullptr;
    napi_open_handle_scope(env, &scope);
    napi_value report = nullptr;
    napi_create_object(env, &report);
    SetField(env, report, "onJsThread", Bool(env, std::this_thread::get_id() == g_jsThread));
    SetField(env, report, "afterPost", Bool(env, probe->posted.load()));
    if (withTimestamp) {
        napi_value ts = nullptr;
        napi_create_bigint_int64(env, probe->timestamp, &ts);
        SetField(env, report, "timestamp", ts);
    }
    napi_value function = nullptr;
    napi_value global = nullptr;
    napi_get_reference_value(env, probe->function, &function);
    napi_get_global(env, &global);
    if (napi_call_function(env, global, function, 1, &report, nullptr) != napi_ok) {
        napi_value error = nullptr;
        napi_get_and_clear_last_exception(env, &error);
        napi_fatal_exception(env, error);
    }
    napi_delete_reference(env, probe->function);
    napi_close_handle_scope(env, scope);
    delete probe;
}

void ProbeTask(void* data)
{
    FireProbe(static_cast<Probe*>(data), false);
}

void ProbeFrame(int64_t timestamp, void* data)
{
    auto* probe = static_cast<Probe*>(data);
    probe->timestamp = timestamp;
    FireProbe(probe, true);
}

// postTask(delay, fn, fromThread): posts through the dispatcher; fn gets
// {onJsThread, afterPost}.
napi_value PostTask(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    double delay = 0;
    bool fromThread = false;
    napi_get_value_double(env, args.argv[0], &delay);
    napi_get_value_bool(env, args.argv[2], &fromThread);
    Probe* probe = NewProbe(env, args.argv[1]);
    auto post = [probe, delay] {
        g_cp.asyncTask(static_cast<float>(delay), probe, ProbeTask);
        probe->posted = true;
    };
    if (fromThread) {
        std::thread(post).join();
    } else {
        post();
    }
    return Undefined(env);
}

// postWork(fn, fromThread): posts through an async work.
napi_value PostWork(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    bool fromThread = false;
    napi_get_value_bool(env, args.argv[1], &fromThread);
    Probe* probe = NewProbe(env, args.argv[0]);
    auto post = [probe] {
        g_cp.asyncWork(probe, ProbeTask);
        probe->posted = true;
    };
    if (fromThread) {
        std::thread(post).join();
    } else {
        post();
    }
    return Undefined(env);
}

// Posts with null callbacks and, before binding, with a real one: none may
// run or crash.
std::atomic<int> g_strayRuns{0};
void StrayTask(void*)
{
    ++g_strayRuns;
}

napi_value PostNullCallbacks(napi_env env, napi_callback_info /*info*/)
{
    g_cp.asyncTask(0, &g_strayRuns, nullptr);
    g_cp.asyncTask(16.5f, &g_strayRuns, nullptr);
    g_cp.asyncWork(&g_strayRuns, nullptr);
    return Undefined(env);
}

napi_value PostStrayTasks(napi_env env, napi_callback_info /*info*/)
{
    g_cp.asyncTask(0, nullptr, StrayTask);
    g_cp.asyncTask(5, nullptr, StrayTask);
    g_cp.asyncWork(nullptr, StrayTask);
    std::thread([] { g_cp.asyncTask(0, nullptr, StrayTask); }).join();
    return Undefined(env);
}

napi_value StrayRuns(napi_env env, napi_callback_info /*info*/)
{
    return Number(env, g_strayRuns.load());
}

// envState(): whether the module has an environment and whether it is
// this addon's own (after bindAddonEnv).
napi_value EnvState(napi_env env, napi_callback_info /*info*/)
{
    napi_value state = nullptr;
    napi_create_object(env, &state);
    napi_env current = g_cp.currentEnv();
    SetField(env, state, "bound", Bool(env, current != nullptr));
    SetField(env, state, "addonEnv", Bool(env, current == g_addonEnv));
    return state;
}

napi_value BindAddonEnv(napi_env env, napi_callback_info /*info*/)
{
    g_cp.bindJsEnv(g_addonEnv);
    return Undefined(env);
}

napi_value BindNullEnv(napi_env env, napi_callback_info /*info*/)
{
    g_cp.bindJsEnv(nullptr);
    return Undefined(env);
}

// setProvider(value, which): null/undefined passes a null provider; which
// names the environment passed along: "current" (default), "addon" or
// "module" (the module's own, as seen at attach).
napi_value SetProvider(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    napi_valuetype type = napi_undefined;
    napi_typeof(env, args.argv[0], &type);
    bool isNull = type == napi_null || type == napi_undefined;
    std::string which = StringArg(env, args.argv[1]);
    napi_env target = which == "addon" ? g_addonEnv : which == "module" ? g_moduleEnv : g_cp.currentEnv();
    g_cp.setProvider(target, isNull ? nullptr : args.argv[0]);
    return Undefined(env);
}

// Calls a service that takes an optional C string (null for JS null/undefined).
napi_value CallWithOptionalString(napi_env env, napi_callback_info info, void (*service)(const char*))
{
    Args args(env, info);
    bool isNull = false;
    std::string text = StringArg(env, args.argv[0], &isNull);
    service(isNull ? nullptr : text.c_str());
    return Undefined(env);
}

napi_value OpenUri(napi_env env, napi_callback_info info)
{
    return CallWithOptionalString(env, info, g_cp.openUri);
}

napi_value GetSystemTheme(napi_env env, napi_callback_info /*info*/)
{
    return Number(env, g_cp.getSystemTheme());
}

napi_value ClipboardSetText(napi_env env, napi_callback_info info)
{
    return CallWithOptionalString(env, info, g_cp.clipboardSetText);
}

// clipboardGetText(): the text, or null for a null result.
napi_value ClipboardGetText(napi_env env, napi_callback_info /*info*/)
{
    const char* text = g_cp.clipboardGetText();
    napi_value result = nullptr;
    if (text == nullptr) {
        napi_get_null(env, &result);
        return result;
    }
    napi_create_string_utf8(env, text, std::strlen(text), &result);
    return result;
}

napi_value ClipboardHasText(napi_env env, napi_callback_info /*info*/)
{
    return Bool(env, g_cp.clipboardHasText());
}

napi_value RawBytes(napi_env env, const void* data, size_t size)
{
    napi_value buffer = nullptr;
    void* copy = nullptr;
    napi_create_buffer_copy(env, size, data, &copy, &buffer);
    return buffer;
}

// The raw bytes of each element, read through the module's accessor.
template <typename T>
napi_value ElementsThroughAccessor(napi_env env, CanvasportNativeTouchEvent* event, int32_t count,
                                   T* (*accessor)(CanvasportNativeTouchEvent*, int32_t))
{
    napi_value elements = nullptr;
    napi_create_array(env, &elements);
    for (int32_t i = 0; i < count; ++i) {
        T* element = accessor(event, i);
        napi_value value = nullptr;
        if (element != nullptr) {
            value = RawBytes(env, element, sizeof(*element));
        } else {
            napi_get_null(env, &value);
        }
        napi_set_element(env, elements, static_cast<uint32_t>(i), value);
    }
    return elements;
}

// convertTouchEvent(event): converts the JS value (undefined: a null
// napi_value), copies out what the renderer would read, deletes the record.
// Returns null for a null record, else {raw, touches[], historical[],
// touchesVector, historicalVector, outOfRange}; elements are raw bytes read
// through the accessors.
napi_value ConvertTouchEvent(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    napi_valuetype type = napi_undefined;
    napi_typeof(env, args.argv[0], &type);
    CanvasportNativeTouchEvent* event = g_cp.createTouchEvent(type == napi_undefined ? nullptr : args.argv[0]);
    napi_value result = nullptr;
    if (event == nullptr) {
        napi_get_null(env, &result);
        return result;
    }
    napi_create_object(env, &result);
    SetField(env, result, "raw", RawBytes(env, event, sizeof(*event)));
    SetField(env, result, "touchesVector", Bool(env, event->touches != nullptr));
    SetField(env, result, "historicalVector", Bool(env, event->historicalPoints != nullptr));
    SetField(env, result, "touches", ElementsThroughAccessor(env, event, event->touchCount, g_cp.touchAt));
    SetField(env, result, "historical",
             ElementsThroughAccessor(env, event, event->historicalPointCount, g_cp.historicalAt));
    bool outOfRange = g_cp.touchAt(event, -1) == nullptr && g_cp.touchAt(event, event->touchCount) == nullptr &&
                      g_cp.historicalAt(event, -1) == nullptr &&
                      g_cp.historicalAt(event, event->historicalPointCount) == nullptr &&
                      g_cp.touchAt(nullptr, 0) == nullptr && g_cp.historicalAt(nullptr, 0) == nullptr;
    SetField(env, result, "outOfRangeIsNull", Bool(env, outOfRange));
    g_cp.deleteTouchEvent(event);
    g_cp.deleteTouchEvent(nullptr);
    return result;
}

// requestVsync(fn): fn gets {onJsThread, timestamp (BigInt)}.
napi_value RequestVsync(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    Probe* probe = NewProbe(env, args.argv[0]);
    g_cp.requestVsyncFrame(probe, ProbeFrame);
    probe->posted = true;
    return Undefined(env);
}

napi_value MonotonicNowNs(napi_env env, napi_callback_info /*info*/)
{
    napi_value result = nullptr;
    int64_t now = std::chrono::duration_cast<std::chrono::nanoseconds>(
                      std::chrono::steady_clock::now().time_since_epoch())
                      .count();
    napi_create_bigint_int64(env, now, &result);
    return result;
}

int64_t Int64Arg(napi_env env, napi_value value)
{
    int64_t result = 0;
    bool lossless = false;
    if (napi_get_value_bigint_int64(env, value, &result, &lossless) != napi_ok) {
        napi_get_value_int64(env, value, &result);
    }
    return result;
}

// trace(kind, a, b): kind "start"/"end" (async, type and id) or
// "syncStart"/"syncEnd" (name).
napi_value Trace(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    std::string kind = StringArg(env, args.argv[0]);
    if (kind == "start") {
        g_cp.traceStart(Int64Arg(env, args.argv[1]), Int64Arg(env, args.argv[2]));
    } else if (kind == "end") {
        g_cp.traceEnd(Int64Arg(env, args.argv[1]), Int64Arg(env, args.argv[2]));
    } else if (kind == "syncStart") {
        bool isNull = false;
        std::string name = StringArg(env, args.argv[1], &isNull);
        g_cp.syncTraceStart(isNull ? nullptr : name.c_str());
    } else {
        g_cp.syncTraceEnd();
    }
    return Undefined(env);
}

// A record of what the worker did, filled by the tasks.
struct WorkerLog {
    std::mutex mutex;
    std::condition_variable done;
    std::vector<std::string> order;
    std::set<std::thread::id> threads;
    int running = 0;
    int maxRunning = 0;
    size_t expected = 0;
};

std::function<void()> LoggedTask(WorkerLog& log, const std::string& name)
{
    return [&log, name] {
        {
            std::lock_guard<std::mutex> lock(log.mutex);
            log.maxRunning = std::max(log.maxRunning, ++log.running);
            log.threads.insert(std::this_thread::get_id());
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(15));
        std::lock_guard<std::mutex> lock(log.mutex);
        --log.running;
        log.order.push_back(name);
        log.done.notify_all();
    };
}

// workerRun(faults): submits tasks A, B, C from three threads one after
// another (with faults: a throwing task, an empty task and one throwing a
// non-exception go first), waits for them and reports
// {order, threads, maxRunning, onSubmitter}.
napi_value WorkerRun(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    bool faults = false;
    napi_get_value_bool(env, args.argv[0], &faults);
    WorkerLog log;
    log.expected = 3;
    std::set<std::thread::id> submitters;
    if (faults) {
        g_cp.gcdAsync([] { throw std::runtime_error("task failure"); });
        g_cp.gcdAsync(std::function<void()>());
        g_cp.gcdAsync([] { throw 42; });
    }
    for (const char* name : {"A", "B", "C"}) {
        std::thread submitter([&log, name] { g_cp.gcdAsync(LoggedTask(log, name)); });
        submitters.insert(submitter.get_id());
        submitter.join();
    }
    std::unique_lock<std::mutex> lock(log.mutex);
    log.done.wait_for(lock, std::chrono::seconds(10), [&log] { return log.order.size() == log.expected; });
    napi_value result = nullptr;
    napi_create_object(env, &result);
    napi_value order = nullptr;
    napi_create_array(env, &order);
    for (size_t i = 0; i < log.order.size(); ++i) {
        napi_value name = nullptr;
        napi_create_string_utf8(env, log.order[i].c_str(), NAPI_AUTO_LENGTH, &name);
        napi_set_element(env, order, static_cast<uint32_t>(i), name);
    }
    SetField(env, result, "order", order);
    SetField(env, result, "threads", Number(env, static_cast<double>(log.threads.size())));
    SetField(env, result, "maxRunning", Number(env, log.maxRunning));
    bool onSubmitter = log.threads.count(g_jsThread) != 0;
    for (const std::thread::id& id : log.threads) {
        onSubmitter = onSubmitter || submitters.count(id) != 0;
    }
    SetField(env, result, "onSubmitter", Bool(env, onSubmitter));
    return result;
}

// log(level, message) with level one of "D", "I", "W", "E".
napi_value Log(napi_env env, napi_callback_info info)
{
    Args args(env, info);
    std::string level = StringArg(env, args.argv[0]);
    std::string message = StringArg(env, args.argv[1]);
    void (*writer)(const char*) = level == "D"   ? g_cp.logD
                                  : level == "I" ? g_cp.logI
                                  : level == "W" ? g_cp.logW
                                                 : g_cp.logE;
    writer(message.c_str());
    return Undefined(env);
}

napi_value Fixed(napi_env env, napi_callback_info /*info*/)
{
    g_cp.plumeHook();
    g_cp.plumeThrow();
    napi_value result = nullptr;
    napi_create_object(env, &result);
    SetField(env, result, "density", Number(env, g_cp.screenDensity()));
    SetField(env, result, "runtimeLogs", Bool(env, g_cp.enableRuntimeLogs()));
    return result;
}

}  // namespace

NAPI_MODULE_INIT()
{
    g_addonEnv = env;
    g_jsThread = std::this_thread::get_id();
    napi_property_descriptor properties[] = {
        {"attach", nullptr, Attach, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"startCapture", nullptr, StartCapture, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"stopCapture", nullptr, StopCapture, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"postTask", nullptr, PostTask, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"postWork", nullptr, PostWork, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"postNullCallbacks", nullptr, PostNullCallbacks, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"postStrayTasks", nullptr, PostStrayTasks, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"strayRuns", nullptr, StrayRuns, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"envState", nullptr, EnvState, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"bindAddonEnv", nullptr, BindAddonEnv, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"bindNullEnv", nullptr, BindNullEnv, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"setProvider", nullptr, SetProvider, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"openUri", nullptr, OpenUri, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"getSystemTheme", nullptr, GetSystemTheme, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"clipboardSetText", nullptr, ClipboardSetText, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"clipboardGetText", nullptr, ClipboardGetText, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"clipboardHasText", nullptr, ClipboardHasText, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"convertTouchEvent", nullptr, ConvertTouchEvent, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"requestVsync", nullptr, RequestVsync, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"monotonicNowNs", nullptr, MonotonicNowNs, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"trace", nullptr, Trace, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"workerRun", nullptr, WorkerRun, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"log", nullptr, Log, nullptr, nullptr, nullptr, napi_default, nullptr},
        {"fixed", nullptr, Fixed, nullptr, nullptr, nullptr, napi_default, nullptr},
    };
    napi_define_properties(env, exports, sizeof(properties) / sizeof(properties[0]), properties);
    return exports;
}
