// Value handles: positive numbers handed to Java inside variable records, mapped
// back to the engine and variable id they came from. Thread-safe.
#pragma once

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace nativescope {

class ValueHandleRegistry {
public:
    struct Entry {
        int64_t engine = 0;
        std::string variableId;
    };

    int64_t Register(int64_t engine, const std::string& variableId);
    std::optional<Entry> Lookup(int64_t handle) const;
    void Release(int64_t handle);
    void ReleaseEngine(int64_t engine);
    size_t Size() const;

private:
    void ResetCounterIfEmpty();

    mutable std::mutex mutex_;
    std::map<int64_t, std::pair<int64_t, std::string>> handleToEngineAndVarid_;
    std::map<int64_t, std::vector<int64_t>> engineToHandles_;
    int64_t nextHandle_ = 1;
};

// The library-wide registry.
ValueHandleRegistry& ValueHandles();

}  // namespace nativescope
