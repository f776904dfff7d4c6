// Development stand-in for native vsync: one service thread (never the
// caller's) delivers every requested frame once, at the next 60 Hz tick of
// the monotonic clock, with that tick's timestamp in nanoseconds.
#include "native_vsync/native_vsync.h"

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <new>
#include <string>
#include <thread>
#include <vector>

struct OH_NativeVSync {
    std::string name;
};

namespace {

constexpr int64_t kFramePeriodNs = 16666667;  // 60 Hz

struct FrameRequest {
    OH_NativeVSync* vsync;
    OH_NativeVSync_FrameCallback callback;
    void* data;
};

class VsyncService {
public:
    static VsyncService& Instance()
    {
        static VsyncService service;
        return service;
    }

    int Request(OH_NativeVSync* vsync, OH_NativeVSync_FrameCallback callback, void* data)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        if (stopping_) {
            return -1;
        }
        if (!thread_.joinable()) {
            try {
                thread_ = std::thread([this] { Run(); });
            } catch (...) {
                return -1;
            }
        }
        pending_.push_back({vsync, callback, data});
        wake_.notify_one();
        return 0;
    }

    void Forget(OH_NativeVSync* vsync)
    {
        std::lock_guard<std::mutex> lock(mutex_);
        for (auto it = pending_.begin(); it != pending_.end();) {
            it = it->vsync == vsync ? pending_.erase(it) : it + 1;
        }
    }

    ~VsyncService()
    {
        {
            std::lock_guard<std::mutex> lock(mutex_);
            stopping_ = true;
            pending_.clear();
        }
        wake_.notify_all();
        if (thread_.joinable()) {
            if (thread_.get_id() == std::this_thread::get_id()) {
                thread_.detach();
            } else {
                thread_.join();
            }
        }
    }

private:
    VsyncService() = default;

    static int64_t NowNs()
    {
        return std::chrono::duration_cast<std::chrono::nanoseconds>(
                   std::chrono::steady_clock::now().time_since_epoch())
            .count();
    }

    void Run()
    {
        std::unique_lock<std::mutex> lock(mutex_);
        while (true) {
            wake_.wait(lock, [this] { return stopping_ || !pending_.empty(); });
            if (stopping_) {
                return;
            }
            int64_t tick = (NowNs() / kFramePeriodNs + 1) * kFramePeriodNs;
            std::chrono::steady_clock::time_point due{std::chrono::nanoseconds(tick)};
            if (wake_.wait_until(lock, due, [this] { return stopping_; })) {
                return;
            }
            std::vector<FrameRequest> frame;
            frame.swap(pending_);
            lock.unlock();
            for (const FrameRequest& request : frame) {
                request.callback(tick, request.data);
            }
            lock.lock();
        }
    }

    std::mutex mutex_;
    std::condition_variable wake_;
    std::vector<FrameRequest> pending_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace

extern "C" OH_NativeVSync* OH_NativeVSync_Create(const char* name, unsigned int length)
{
    if (name == nullptr) {
        return nullptr;
    }
    return new (std::nothrow) OH_NativeVSync{std::string(name, length)};
}

extern "C" void OH_NativeVSync_Destroy(OH_NativeVSync* nativeVsync)
{
    if (nativeVsync == nullptr) {
        return;
    }
    VsyncService::Instance().Forget(nativeVsync);
    delete nativeVsync;
}

extern "C" int OH_NativeVSync_RequestFrame(OH_NativeVSync* nativeVsync, OH_NativeVSync_FrameCallback callback,
                                           void* data)
{
    if (nativeVsync == nullptr || callback == nullptr) {
        return -1;
    }
    return VsyncService::Instance().Request(nativeVsync, callback, data);
}
