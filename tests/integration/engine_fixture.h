// A DebugEngine attached over the loopback platform to a fixture debuggee.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "lldb_debug_engine.h"
#include "loopback_session.h"

namespace nativescope_testing {

struct AttachedEngine {
    HarnessPaths paths = DefaultHarnessPaths();
    LoopbackPlatform platform{paths};
    std::unique_ptr<Debuggee> debuggee;
    std::unique_ptr<lldb_debug::DebugEngine> engine;

    // Creates the engine, connects "remote-linux" and attaches to `fixture`.
    // Check attached() before use.
    explicit AttachedEngine(const std::string& fixture, const std::vector<std::string>& args = {}) {
        lldb_debug::ApplyProcessEnvPairs(LldbEnvironmentPairs(paths));
        debuggee = std::make_unique<Debuggee>(paths, fixture, args);
        engine = std::make_unique<lldb_debug::DebugEngine>();
        if (!platform.ok() || debuggee->pid() <= 0) return;
        if (!engine->ConnectPlatform("remote-linux", platform.connectUrl())) return;
        if (!engine->CreateTarget()) return;
        result = engine->AttachWithResult(debuggee->pid());
    }
    ~AttachedEngine() { engine.reset(); }  // detach before the debuggee is killed

    bool attached() const { return result.success; }
    lldb_debug::AttachResult result;
};

}  // namespace nativescope_testing
