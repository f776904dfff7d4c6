#include "value_handle_registry.h"

#include <algorithm>

namespace nativescope {

int64_t ValueHandleRegistry::Register(int64_t engine, const std::string& variableId) {
    std::lock_guard<std::mutex> lock(mutex_);
    const int64_t handle = nextHandle_++;
    handleToEngineAndVarid_[handle] = {engine, variableId};
    engineToHandles_[engine].push_back(handle);
    return handle;
}

std::optional<ValueHandleRegistry::Entry> ValueHandleRegistry::Lookup(int64_t handle) const {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = handleToEngineAndVarid_.find(handle);
    if (it == handleToEngineAndVarid_.end()) return std::nullopt;
    return Entry{it->second.first, it->second.second};
}

void ValueHandleRegistry::Release(int64_t handle) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto it = handleToEngineAndVarid_.find(handle);
    if (it == handleToEngineAndVarid_.end()) return;
    const int64_t engine = it->second.first;
    handleToEngineAndVarid_.erase(it);
    auto list = engineToHandles_.find(engine);
    if (list != engineToHandles_.end()) {
        auto& handles = list->second;
        handles.erase(std::remove(handles.begin(), handles.end(), handle), handles.end());
        if (handles.empty()) engineToHandles_.erase(list);
    }
    ResetCounterIfEmpty();
}

void ValueHandleRegistry::ReleaseEngine(int64_t engine) {
    std::lock_guard<std::mutex> lock(mutex_);
    auto list = engineToHandles_.find(engine);
    if (list == engineToHandles_.end()) return;
    for (int64_t handle : list->second) handleToEngineAndVarid_.erase(handle);
    engineToHandles_.erase(list);
    ResetCounterIfEmpty();
}

size_t ValueHandleRegistry::Size() const {
    std::lock_guard<std::mutex> lock(mutex_);
    return handleToEngineAndVarid_.size();
}

void ValueHandleRegistry::ResetCounterIfEmpty() {
    if (handleToEngineAndVarid_.empty()) nextHandle_ = 1;
}

ValueHandleRegistry& ValueHandles() {
    static ValueHandleRegistry registry;
    return registry;
}

}  // namespace nativescope
