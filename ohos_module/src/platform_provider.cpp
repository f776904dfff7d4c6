// Services of the app's platform provider object: URI opening, system
// theme and clipboard. Every failure is one error-log line and a neutral
// result; a provider method that throws leaves no pending exception behind.
#include <cstddef>

#include "canvasport/canvasport.h"
#include "compose_dispatcher.h"
#include "log.h"
#include "napi_util.h"

namespace canvasport {

napi_value ComposeDispatcher::getPlatformProvider() const
{
    napi_env env = nullptr;
    napi_ref ref = nullptr;
    {
        std::lock_guard<std::mutex> lock(mutex_);
        env = currentEnv;
        ref = platformProviderRef;
    }
    napi_value provider = nullptr;
    if (env == nullptr || ref == nullptr || napi_get_reference_value(env, ref, &provider) != napi_ok) {
        return nullptr;
    }
    return provider;
}

void ComposeDispatcher::setPlatformProvider(napi_env env, napi_value provider)
{
    std::lock_guard<std::mutex> lock(mutex_);
    if (jsThread_ != std::this_thread::get_id()) {
        CANVASPORT_LOGE("canvasport_set_platform_provider: not on the JS thread");
        return;
    }
    if (platformProviderRef != nullptr && currentEnv != nullptr) {
        napi_delete_reference(currentEnv, platformProviderRef);
    }
    platformProviderRef = nullptr;
    if (env == nullptr || provider == nullptr) {
        return;
    }
    // The reference is later read against the bound environment, so it
    // must belong to it.
    if (env != currentEnv) {
        CANVASPORT_LOGE("canvasport_set_platform_provider: napi_env is not the bound environment");
        return;
    }
    if (napi_create_reference(env, provider, 1, &platformProviderRef) != napi_ok) {
        ClearPendingException(env);
        platformProviderRef = nullptr;
        CANVASPORT_LOGE("canvasport_set_platform_provider: failed to create reference");
    }
}

namespace {

constexpr size_t kClipboardBufferSize = 65536;

// The bound environment, or null (logged) when there is none or when the
// caller is not on its JS thread.
napi_env ServiceEnv(const char* service)
{
    ComposeDispatcher* dispatcher = ComposeDispatcher::sharedInstance();
    napi_env env = dispatcher->getEnvOnJSThread();
    if (env == nullptr) {
        if (dispatcher->getCurrentEnv() == nullptr) {
            CANVASPORT_LOGE("%s: napi_env is null", service);
        } else {
            CANVASPORT_LOGE("%s: not on the JS thread", service);
        }
    }
    return env;
}

// Looks the method up on the provider and calls it with the provider as
// receiver and the optional string argument. With quietCall set, failures to
// make the argument or to call are reported only through the result.
bool CallProviderMethod(napi_env env, const char* service, const char* method, const char* argument,
                        napi_value* result, bool quietCall)
{
    napi_value provider = ComposeDispatcher::sharedInstance()->getPlatformProvider();
    if (provider == nullptr) {
        CANVASPORT_LOGE("%s: platform provider is null", service);
        return false;
    }
    napi_value function = nullptr;
    if (!GetNamedProperty(env, provider, method, &function)) {
        CANVASPORT_LOGE("%s: failed to get %s", service, method);
        return false;
    }
    if (!IsFunction(env, function)) {
        CANVASPORT_LOGE("%s: %s is not a function", service, method);
        return false;
    }
    napi_value arg = nullptr;
    if (argument != nullptr && napi_create_string_utf8(env, argument, NAPI_AUTO_LENGTH, &arg) != napi_ok) {
        ClearPendingException(env);
        if (!quietCall) {
            CANVASPORT_LOGE("%s: failed to create string", service);
        }
        return false;
    }
    if (!CallFunction(env, provider, function, arg != nullptr ? 1 : 0, &arg, result)) {
        if (!quietCall) {
            CANVASPORT_LOGE("%s: failed to call function", service);
        }
        return false;
    }
    return true;
}

bool ClipboardCall(napi_env env, const char* method, napi_value* result, const char* argument = nullptr)
{
    return CallProviderMethod(env, "canvasport_napi_clipboard", method, argument, result, true);
}

}  // namespace
}  // namespace canvasport

using canvasport::CallProviderMethod;
using canvasport::ClipboardCall;
using canvasport::HandleScope;
using canvasport::ServiceEnv;

extern "C" {

void canvasport_set_platform_provider(napi_env env, napi_value provider)
{
    canvasport::ComposeDispatcher::sharedInstance()->setPlatformProvider(env, provider);
}

void canvasport_napi_open_uri(const char* uri)
{
    if (uri == nullptr) {
        CANVASPORT_LOGE("canvasport_napi_open_uri: uri is null");
        return;
    }
    napi_env env = ServiceEnv("canvasport_napi_open_uri");
    if (env == nullptr) {
        return;
    }
    HandleScope scope(env);
    napi_value ignored = nullptr;
    CallProviderMethod(env, "canvasport_napi_open_uri", "__global_openUri", uri, &ignored, false);
}

int32_t canvasport_napi_get_system_theme(void)
{
    int32_t theme = 0;
    napi_env env = ServiceEnv("canvasport_napi_get_system_theme");
    if (env == nullptr) {
        return theme;
    }
    HandleScope scope(env);
    napi_value result = nullptr;
    if (CallProviderMethod(env, "canvasport_napi_get_system_theme", "__global_getSystemTheme", nullptr, &result,
                           false) &&
        napi_get_value_int32(env, result, &theme) != napi_ok) {
        theme = 0;
    }
    return theme;
}

void canvasport_napi_clipboard_set_text(const char* text)
{
    if (text == nullptr) {
        return;
    }
    napi_env env = ServiceEnv("canvasport_napi_clipboard_set_text");
    if (env == nullptr) {
        return;
    }
    HandleScope scope(env);
    napi_value ignored = nullptr;
    ClipboardCall(env, "__global_clipboard_setText", &ignored, text);
}

const char* canvasport_napi_clipboard_get_text(void)
{
    // Lives until the next call on the same thread; the caller must not free it.
    thread_local char buffer[canvasport::kClipboardBufferSize];
    napi_env env = ServiceEnv("canvasport_napi_clipboard_get_text");
    if (env == nullptr) {
        return nullptr;
    }
    HandleScope scope(env);
    napi_value result = nullptr;
    if (!ClipboardCall(env, "__global_clipboard_getText", &result)) {
        return nullptr;
    }
    napi_valuetype type = napi_undefined;
    if (napi_typeof(env, result, &type) != napi_ok || type == napi_undefined || type == napi_null) {
        return nullptr;
    }
    size_t copied = 0;
    if (napi_get_value_string_utf8(env, result, buffer, sizeof(buffer), &copied) != napi_ok) {
        copied = 0;  // not a string: empty text
    }
    buffer[copied < sizeof(buffer) ? copied : sizeof(buffer) - 1] = '\0';
    return buffer;
}

bool canvasport_napi_clipboard_has_text(void)
{
    napi_env env = ServiceEnv("canvasport_napi_clipboard_has_text");
    if (env == nullptr) {
        return false;
    }
    HandleScope scope(env);
    napi_value result = nullptr;
    bool hasText = false;
    if (!ClipboardCall(env, "__global_clipboard_hasText", &result) ||
        napi_get_value_bool(env, result, &hasText) != napi_ok) {
        return false;
    }
    return hasText;
}

}  // extern "C"
