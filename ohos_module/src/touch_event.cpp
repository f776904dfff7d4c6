// Conversion of ArkTS touch event objects into the plain records that the
// renderer reads.
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>
#include <new>

#include "canvasport/canvasport.h"
#include "compose_dispatcher.h"
#include "log.h"
#include "napi_util.h"

namespace canvasport {
namespace {

// A real event carries at most a few tens of points; the bound keeps a
// hostile array length from turning into a huge allocation.
constexpr uint32_t kMaxPoints = 1024;
constexpr int32_t kMissingObjectType = -9999;

bool IsPresent(napi_env env, napi_value value)
{
    napi_valuetype type = napi_undefined;
    return value != nullptr && napi_typeof(env, value, &type) == napi_ok && type != napi_undefined &&
           type != napi_null;
}

// A number property of the object read with the given N-API getter; 0 when
// it cannot be read.
template <typename T, napi_status (*Get)(napi_env, napi_value, T*)>
T ReadNumber(napi_env env, napi_value object, const char* name)
{
    napi_value value = nullptr;
    T result = 0;
    if (!GetNamedProperty(env, object, name, &value) || Get(env, value, &result) != napi_ok) {
        return 0;
    }
    return result;
}

double ReadDouble(napi_env env, napi_value object, const char* name)
{
    return ReadNumber<double, napi_get_value_double>(env, object, name);
}

int32_t ReadInt32(napi_env env, napi_value object, const char* name)
{
    return ReadNumber<int32_t, napi_get_value_int32>(env, object, name);
}

int64_t ReadInt64(napi_env env, napi_value object, const char* name)
{
    return ReadNumber<int64_t, napi_get_value_int64>(env, object, name);
}

// Timestamps come in nanoseconds and are kept in whole milliseconds.
int64_t ReadMillis(napi_env env, napi_value object)
{
    double millis = std::floor(ReadDouble(env, object, "timestamp") / 1000000.0);
    if (!std::isfinite(millis)) {
        return 0;
    }
    constexpr double kLimit = 9223372036854775808.0;  // 2^63
    if (millis >= kLimit) {
        return std::numeric_limits<int64_t>::max();
    }
    if (millis < -kLimit) {
        return std::numeric_limits<int64_t>::min();
    }
    return static_cast<int64_t>(millis);
}

CanvasportNativeTouchObject ReadTouchObject(napi_env env, napi_value object)
{
    CanvasportNativeTouchObject touch{};
    if (env == nullptr || !IsPresent(env, object)) {
        touch.type = kMissingObjectType;
        return touch;
    }
    touch.x = static_cast<float>(ReadDouble(env, object, "x"));
    touch.y = static_cast<float>(ReadDouble(env, object, "y"));
    touch.type = ReadInt32(env, object, "type");
    touch.id = static_cast<int32_t>(static_cast<uint32_t>(ReadInt64(env, object, "id")));
    return touch;
}

// Length of an array value, 0 for anything else, at most kMaxPoints.
uint32_t BoundedArrayLength(napi_env env, napi_value value, const char* what)
{
    bool isArray = false;
    uint32_t length = 0;
    if (value == nullptr || napi_is_array(env, value, &isArray) != napi_ok || !isArray ||
        napi_get_array_length(env, value, &length) != napi_ok) {
        return 0;
    }
    if (length > kMaxPoints) {
        LogPrint(LOG_WARN, "canvasport touch event: %u %s, only the first %u kept", length, what, kMaxPoints);
        length = kMaxPoints;
    }
    return length;
}

napi_value ElementAt(napi_env env, napi_value array, uint32_t index)
{
    napi_value element = nullptr;
    if (napi_get_element(env, array, index, &element) != napi_ok) {
        ClearPendingException(env);
        return nullptr;
    }
    return IsPresent(env, element) ? element : nullptr;
}

void ReadTouches(napi_env env, napi_value event, CanvasportNativeTouchEvent& record)
{
    napi_value touches = nullptr;
    uint32_t count = 0;
    if (env != nullptr && GetNamedProperty(env, event, "touches", &touches)) {
        count = BoundedArrayLength(env, touches, "touches");
    }
    record.touches->reserve(count);
    for (uint32_t i = 0; i < count; ++i) {
        record.touches->push_back(ReadTouchObject(env, ElementAt(env, touches, i)));
    }
    record.touchCount = static_cast<int32_t>(count);
}

void ReadHistoricalPoints(napi_env env, napi_value event, CanvasportNativeTouchEvent& record)
{
    if (env == nullptr) {
        return;
    }
    napi_value method = nullptr;
    napi_value points = nullptr;
    if (!GetNamedProperty(env, event, "getHistoricalPoints", &method) || !IsFunction(env, method) ||
        !CallFunction(env, event, method, 0, nullptr, &points)) {
        return;
    }
    uint32_t count = BoundedArrayLength(env, points, "historical points");
    if (count == 0) {
        return;
    }
    auto historical = std::make_unique<std::vector<CanvasportNativeTouchHistoricalPoint>>();
    historical->reserve(count);
    for (uint32_t j = 0; j < count; ++j) {
        napi_value element = ElementAt(env, points, j);
        if (element == nullptr) {
            continue;
        }
        int64_t timestamp = ReadMillis(env, element);
        if (timestamp == record.timestamp) {
            continue;  // the sample of the event itself
        }
        CanvasportNativeTouchHistoricalPoint point{};
        point.timestamp = timestamp;
        napi_value touchObject = nullptr;
        GetNamedProperty(env, element, "touchObject", &touchObject);
        point.touchObject = ReadTouchObject(env, touchObject);
        historical->push_back(point);
    }
    record.historicalPointCount = static_cast<int32_t>(historical->size());
    record.historicalPoints = historical.release();
}

// ELF hash of the System V ABI over the record's bytes.
uint32_t ElfHash(const unsigned char* bytes, size_t size)
{
    uint32_t h = 0;
    for (size_t i = 0; i < size; ++i) {
        h = (h << 4) + bytes[i];
        uint32_t g = h & 0xF0000000u;
        if (g != 0) {
            h ^= g >> 24;
        }
        h &= ~g;
    }
    return h;
}

void DeleteEvent(CanvasportNativeTouchEvent* event)
{
    delete event->touches;
    delete event->historicalPoints;
    delete event;
}

template <typename T>
T* ElementAtIndex(std::vector<T>* vector, int32_t index)
{
    if (vector == nullptr || index < 0 || static_cast<size_t>(index) >= vector->size()) {
        return nullptr;
    }
    return &(*vector)[static_cast<size_t>(index)];
}

}  // namespace
}  // namespace canvasport

extern "C" {

CanvasportNativeTouchEvent* canvasport_create_native_touch_event_from_jsevent(napi_value event)
{
    using namespace canvasport;
    if (event == nullptr) {
        return nullptr;
    }
    // Off the JS thread the event cannot be read: it counts as missing.
    napi_env env = ComposeDispatcher::sharedInstance()->getEnvOnJSThread();
    auto* record = new (std::nothrow) CanvasportNativeTouchEvent{};
    if (record == nullptr) {
        return nullptr;
    }
    try {
        record->touches = new std::vector<CanvasportNativeTouchObject>();
        if (env == nullptr) {
            record->type = kMissingObjectType;
        } else {
            HandleScope scope(env);
            record->timestamp = ReadMillis(env, event);
            record->type = ReadInt32(env, event, "type");
            ReadTouches(env, event, *record);
            ReadHistoricalPoints(env, event, *record);
        }
    } catch (const std::bad_alloc&) {
        LogPrint(LOG_ERROR, "canvasport touch event: out of memory");
        DeleteEvent(record);
        return nullptr;
    }
    unsigned char bytes[sizeof(CanvasportNativeTouchEvent)];
    std::memcpy(bytes, record, sizeof(bytes));
    record->hash = static_cast<int32_t>(ElfHash(bytes, sizeof(bytes)));
    return record;
}

CanvasportNativeTouchObject* canvasport_native_touch_get_touch_object_at_index(CanvasportNativeTouchEvent* event,
                                                                               int32_t index)
{
    return event == nullptr ? nullptr : canvasport::ElementAtIndex(event->touches, index);
}

CanvasportNativeTouchHistoricalPoint* canvasport_native_touch_get_historycal_point_at_index(
    CanvasportNativeTouchEvent* event, int32_t index)
{
    return event == nullptr ? nullptr : canvasport::ElementAtIndex(event->historicalPoints, index);
}

void canvasport_delete_native_touch_event(CanvasportNativeTouchEvent* event)
{
    if (event != nullptr) {
        canvasport::DeleteEvent(event);
    }
}

}  // extern "C"
