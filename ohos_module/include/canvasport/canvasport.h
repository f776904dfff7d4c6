// The plain function interface of canvasport, called by the Kotlin/Native
// UI rendering layer of the application.
#ifndef CANVASPORT_CANVASPORT_H
#define CANVASPORT_CANVASPORT_H

#include <node_api.h>

#include <cstdint>
#include <functional>

#include "canvasport/touch_event.h"

#define CANVASPORT_EXPORT __attribute__((visibility("default")))

extern "C" {

// Module registration (also runs as a load-time constructor).
CANVASPORT_EXPORT void RegisterCanvasportModule(void);

// JS environment and dispatcher.
CANVASPORT_EXPORT void canvasport_compose_coroutines_dispatcher_bind_jsenv(napi_env env);
CANVASPORT_EXPORT void canvasport_compose_coroutines_dispatcher_async_task(float delay, void* data,
                                                                           void (*callback)(void*));
CANVASPORT_EXPORT void canvasport_compose_coroutines_dispatcher_async_work(void* data, void (*callback)(void*));
CANVASPORT_EXPORT napi_env canvasport_get_current_napi_env(void);

// System log, tag "Glintport"; the message is written as it stands.
CANVASPORT_EXPORT void canvasport_compose_logD(const char* message);
CANVASPORT_EXPORT void canvasport_compose_logI(const char* message);
CANVASPORT_EXPORT void canvasport_compose_logW(const char* message);
CANVASPORT_EXPORT void canvasport_compose_logE(const char* message);

// Services of the app's platform provider object (JS thread only).
CANVASPORT_EXPORT void canvasport_set_platform_provider(napi_env env, napi_value provider);
CANVASPORT_EXPORT void canvasport_napi_open_uri(const char* uri);
CANVASPORT_EXPORT int32_t canvasport_napi_get_system_theme(void);
CANVASPORT_EXPORT void canvasport_napi_clipboard_set_text(const char* text);
CANVASPORT_EXPORT const char* canvasport_napi_clipboard_get_text(void);
CANVASPORT_EXPORT bool canvasport_napi_clipboard_has_text(void);

// Touch events.
CANVASPORT_EXPORT CanvasportNativeTouchEvent* canvasport_create_native_touch_event_from_jsevent(napi_value event);
CANVASPORT_EXPORT CanvasportNativeTouchObject* canvasport_native_touch_get_touch_object_at_index(
    CanvasportNativeTouchEvent* event, int32_t index);
CANVASPORT_EXPORT CanvasportNativeTouchHistoricalPoint* canvasport_native_touch_get_historycal_point_at_index(
    CanvasportNativeTouchEvent* event, int32_t index);
CANVASPORT_EXPORT void canvasport_delete_native_touch_event(CanvasportNativeTouchEvent* event);

// Frame pacing, tracing, background worker and fixed answers.
CANVASPORT_EXPORT void canvasport_compose_request_vsync_frame(void* data, void (*callback)(int64_t, void*));
CANVASPORT_EXPORT void canvasport_performance_trace_start(int64_t type, int64_t taskId);
CANVASPORT_EXPORT void canvasport_performance_trace_end(int64_t type, int64_t taskId);
CANVASPORT_EXPORT void canvasport_performance_sync_trace_start(const char* name);
CANVASPORT_EXPORT void canvasport_performance_sync_trace_end(void);
CANVASPORT_EXPORT void canvasport_gcd_async(std::function<void()> task);
CANVASPORT_EXPORT float canvasport_compose_get_screen_density(void);
CANVASPORT_EXPORT bool enableRuntimeLogs(void);
CANVASPORT_EXPORT void kotlin_native_plume_hook(void);
CANVASPORT_EXPORT void kotlin_native_plume_Throw(void);

}  // extern "C"

#endif
