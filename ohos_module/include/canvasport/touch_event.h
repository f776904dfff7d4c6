// Touch event records: a memory-layout contract with the renderer, which
// reads the fields at these offsets (little-endian, 64-bit).
#ifndef CANVASPORT_TOUCH_EVENT_H
#define CANVASPORT_TOUCH_EVENT_H

#include <cstddef>
#include <cstdint>
#include <vector>

struct CanvasportNativeTouchObject {
    int32_t type;
    int32_t id;
    float x;
    float y;
};

struct CanvasportNativeTouchHistoricalPoint {
    uint8_t reserved[8];  // always 0
    int64_t timestamp;    // milliseconds
    CanvasportNativeTouchObject touchObject;
};

struct CanvasportNativeTouchEvent {
    int32_t hash;
    int32_t type;
    int64_t timestamp;  // milliseconds
    int32_t touchCount;
    int32_t reserved0;
    std::vector<CanvasportNativeTouchObject>* touches;
    int32_t historicalPointCount;
    int32_t reserved1;
    std::vector<CanvasportNativeTouchHistoricalPoint>* historicalPoints;
};

static_assert(sizeof(CanvasportNativeTouchObject) == 16, "touch object is 16 bytes");
static_assert(offsetof(CanvasportNativeTouchObject, type) == 0, "layout");
static_assert(offsetof(CanvasportNativeTouchObject, id) == 4, "layout");
static_assert(offsetof(CanvasportNativeTouchObject, x) == 8, "layout");
static_assert(offsetof(CanvasportNativeTouchObject, y) == 12, "layout");

static_assert(sizeof(CanvasportNativeTouchHistoricalPoint) == 32, "historical point is 32 bytes");
static_assert(offsetof(CanvasportNativeTouchHistoricalPoint, timestamp) == 8, "layout");
static_assert(offsetof(CanvasportNativeTouchHistoricalPoint, touchObject) == 16, "layout");

static_assert(sizeof(void*) == 8, "the record layout is defined for 64-bit targets");
static_assert(sizeof(CanvasportNativeTouchEvent) == 48, "touch event is 48 bytes");
static_assert(offsetof(CanvasportNativeTouchEvent, hash) == 0, "layout");
static_assert(offsetof(CanvasportNativeTouchEvent, type) == 4, "layout");
static_assert(offsetof(CanvasportNativeTouchEvent, timestamp) == 8, "layout");
static_assert(offsetof(CanvasportNativeTouchEvent, touchCount) == 16, "layout");
static_assert(offsetof(CanvasportNativeTouchEvent, touches) == 24, "layout");
static_assert(offsetof(CanvasportNativeTouchEvent, historicalPointCount) == 32, "layout");
static_assert(offsetof(CanvasportNativeTouchEvent, historicalPoints) == 40, "layout");

#endif
