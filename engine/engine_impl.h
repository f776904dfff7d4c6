// Members of DebugEngine::Impl, shared by the engine's source units only.
#pragma once

#include <lldb/API/LLDB.h>

#include <functional>
#include <mutex>

#include "lldb_debug_engine.h"

namespace lldb_debug {

struct DebugEngine::Impl {
    lldb::SBDebugger debugger;
    lldb::SBTarget target;
    lldb::SBProcess process;
    lldb::SBPlatform platform;
    lldb::SBListener listener{"debugger"};
    std::function<void(const DebugEvent&)> eventCallback;
    EnvPairs envPairs;
    // Guards the page cache below and nothing else.
    mutable std::mutex mutex;
    uint64_t pageCacheThreadId = 0;
    uint64_t pageCachePc = 0;
    int32_t pageCacheFrameIndex = -1;  // -1: nothing cached
    uint32_t pageCacheRawCount = 0;
    std::vector<uint32_t> pageCacheIndices;
};

}  // namespace lldb_debug
