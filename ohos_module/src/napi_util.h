// Small N-API helpers shared by the parts that talk to JS values. Every
// helper leaves no pending JS exception behind: a failed call clears it, so
// later N-API calls keep working.
#ifndef CANVASPORT_NAPI_UTIL_H
#define CANVASPORT_NAPI_UTIL_H

#include <node_api.h>

#include <cstddef>

namespace canvasport {

// Opens a handle scope for N-API calls made outside a JS callback (or to
// keep a long run of calls from piling up handles in the caller's scope).
class HandleScope {
public:
    explicit HandleScope(napi_env env) : env_(env)
    {
        if (napi_open_handle_scope(env_, &scope_) != napi_ok) {
            scope_ = nullptr;
        }
    }
    ~HandleScope()
    {
        if (scope_ != nullptr) {
            napi_close_handle_scope(env_, scope_);
        }
    }
    HandleScope(const HandleScope&) = delete;
    HandleScope& operator=(const HandleScope&) = delete;

private:
    napi_env env_;
    napi_handle_scope scope_ = nullptr;
};

// Drops a pending JS exception, if any.
void ClearPendingException(napi_env env);

bool GetNamedProperty(napi_env env, napi_value object, const char* name, napi_value* result);
bool IsFunction(napi_env env, napi_value value);
bool CallFunction(napi_env env, napi_value receiver, napi_value function, size_t argc, const napi_value* argv,
                  napi_value* result);

}  // namespace canvasport

#endif
