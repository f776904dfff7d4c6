// Registration of the "canvasport" N-API module and its init, which binds
// the JS environment and defines "bridgeAdd".
#include <pthread.h>

#include <cmath>

#include "canvasport/canvasport.h"
#include "hilog/log.h"
#include "napi_util.h"

namespace {

// A missing or non-numeric argument gives NaN, as JS addition would.
double ArgumentAsDouble(napi_env env, napi_value value)
{
    napi_valuetype type = napi_undefined;
    napi_typeof(env, value, &type);  // asked, but the number read decides
    double result = 0;
    if (napi_get_value_double(env, value, &result) != napi_ok) {
        return std::nan("");
    }
    return result;
}

napi_value BridgeAdd(napi_env env, napi_callback_info info)
{
    size_t argc = 2;
    napi_value args[2] = {nullptr, nullptr};
    if (napi_get_cb_info(env, info, &argc, args, nullptr, nullptr) != napi_ok) {
        return nullptr;
    }
    double sum = ArgumentAsDouble(env, args[0]) + ArgumentAsDouble(env, args[1]);
    napi_value result = nullptr;
    napi_create_double(env, sum, &result);
    return result;
}

napi_value CanvasportInit(napi_env env, napi_value exports)
{
    OH_LOG_Print(LOG_APP, LOG_DEBUG, 0, "QuillTag", " Canvasport InitAAA thread_id=%{public}ld",
                 static_cast<long>(pthread_self()));
    canvasport_compose_coroutines_dispatcher_bind_jsenv(env);
    napi_property_descriptor properties[] = {
        {"bridgeAdd", nullptr, BridgeAdd, nullptr, nullptr, nullptr, napi_default, nullptr},
    };
    napi_define_properties(env, exports, sizeof(properties) / sizeof(properties[0]), properties);
    return exports;
}

napi_module g_canvasportModule = {
    1,                // nm_version
    0,                // nm_flags
    nullptr,          // nm_filename
    CanvasportInit,   // nm_register_func
    "canvasport",     // nm_modname
    nullptr,          // nm_priv
    {nullptr, nullptr, nullptr, nullptr},
};

}  // namespace

extern "C" __attribute__((constructor)) void RegisterCanvasportModule(void)
{
    napi_module_register(&g_canvasportModule);
}
