#include "napi_util.h"

namespace canvasport {

void ClearPendingException(napi_env env)
{
    bool pending = false;
    if (napi_is_exception_pending(env, &pending) == napi_ok && pending) {
        napi_value ignored = nullptr;
        napi_get_and_clear_last_exception(env, &ignored);
    }
}

bool GetNamedProperty(napi_env env, napi_value object, const char* name, napi_value* result)
{
    if (object == nullptr) {
        return false;
    }
    if (napi_get_named_property(env, object, name, result) != napi_ok) {
        ClearPendingException(env);
        return false;
    }
    return true;
}

bool IsFunction(napi_env env, napi_value value)
{
    napi_valuetype type = napi_undefined;
    return value != nullptr && napi_typeof(env, value, &type) == napi_ok && type == napi_function;
}

bool CallFunction(napi_env env, napi_value receiver, napi_value function, size_t argc, const napi_value* argv,
                  napi_value* result)
{
    if (napi_call_function(env, receiver, function, argc, argv, result) != napi_ok) {
        ClearPendingException(env);
        return false;
    }
    return true;
}

}  // namespace canvasport
