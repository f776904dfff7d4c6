// One-shot vsync frame requests whose callback runs on the JS thread.
#include <native_vsync/native_vsync.h>

#include <cstdint>
#include <cstring>
#include <new>

#include "canvasport/canvasport.h"
#include "compose_dispatcher.h"
#include "log.h"

namespace canvasport {
namespace {

constexpr char kVsyncName[] = "canvasport_compose_request_vsync_frame";

// One pending frame request; owns its vsync instance.
struct VsyncCallBack {
    int64_t timestamp = 0;
    void (*callback)(int64_t timestamp, void* data) = nullptr;
    OH_NativeVSync* vsync = nullptr;
    void* data = nullptr;

    VsyncCallBack() = default;
    VsyncCallBack(const VsyncCallBack&) = delete;
    VsyncCallBack& operator=(const VsyncCallBack&) = delete;
    ~VsyncCallBack()
    {
        if (vsync != nullptr) {
            OH_NativeVSync_Destroy(vsync);
            vsync = nullptr;
        }
    }
};

// On the JS thread.
void RunFrameCallback(void* data)
{
    auto* record = static_cast<VsyncCallBack*>(data);
    if (record == nullptr) {
        return;
    }
    if (record->callback != nullptr) {
        record->callback(record->timestamp, record->data);
    }
    delete record;
}

// On the vsync service's thread.
void OnFrame(long long timestamp, void* data)
{
    auto* record = static_cast<VsyncCallBack*>(data);
    if (record == nullptr) {
        return;
    }
    record->timestamp = timestamp;
    if (!ComposeDispatcher::sharedInstance()->dispatchAsyncTask(0, record, RunFrameCallback)) {
        LogPrint(LOG_ERROR, "canvasport_compose_request_vsync_frame: no JS environment, frame dropped");
        delete record;
    }
}

}  // namespace
}  // namespace canvasport

extern "C" void canvasport_compose_request_vsync_frame(void* data, void (*callback)(int64_t, void*))
{
    using canvasport::VsyncCallBack;
    if (callback == nullptr) {
        return;
    }
    auto* record = new (std::nothrow) VsyncCallBack();
    if (record == nullptr) {
        return;
    }
    record->callback = callback;
    record->data = data;
    record->vsync = OH_NativeVSync_Create(canvasport::kVsyncName, std::strlen(canvasport::kVsyncName));
    if (record->vsync == nullptr ||
        OH_NativeVSync_RequestFrame(record->vsync, canvasport::OnFrame, record) != 0) {
        canvasport::LogPrint(LOG_ERROR, "canvasport_compose_request_vsync_frame: frame request failed");
        delete record;
    }
}
