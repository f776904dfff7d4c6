// Engine object: construction, LLDB's once-per-process start, environment
// handover, callback, detach and teardown.
#include <atomic>
#include <cstdlib>
#include <mutex>

#include "engine_impl.h"
#include "env_switches.h"
#include "python_home.h"
#include "python_symbols.h"

namespace lldb_debug {
namespace {
std::once_flag g_gSbDebuggerInitOnce;
std::atomic<bool> g_gLldbTerminated{false};

}  // namespace

// An empty name is never written: setenv rejects it anyway and _putenv_s would
// treat it as an invalid parameter.
void ApplyProcessEnvPairs(const EnvPairs& pairs) {
    for (const auto& [name, value] : pairs) {
        if (!name.empty()) SetProcessEnv(name.c_str(), value.c_str());
    }
}

void DebugEngine::EnsureSbdebuggerInitialized() {
    std::call_once(g_gSbDebuggerInitOnce, [] {
#ifdef _WIN32
        ApplyDefaultPythonHomeFromDeveco(SystemPythonHomeSeam());
#endif
        const char* pythonHome = std::getenv("LLDB_PYTHON_HOME");
        if (pythonHome != nullptr && pythonHome[0] != '\0') SetProcessEnv("PYTHONHOME", pythonHome);
        PromoteLoadedLibpythonToGlobal();
        lldb::SBDebugger::Initialize();
    });
}

DebugEngine::DebugEngine() : impl(std::make_unique<Impl>()) {
    EnsureSbdebuggerInitialized();
    impl->debugger = lldb::SBDebugger::Create(false);
    impl->debugger.SetAsync(false);
}

DebugEngine::~DebugEngine() {
    impl->eventCallback = nullptr;  // nothing is reported during teardown
    if (impl->process.IsValid()) Detach();
    if (impl->debugger.IsValid()) {
        lldb::SBDebugger::Destroy(impl->debugger);
        impl->debugger = lldb::SBDebugger();
    }
    impl->target = lldb::SBTarget();
    impl->process = lldb::SBProcess();
    impl->platform = lldb::SBPlatform();
}

void DebugEngine::SetEventCallback(std::function<void(const DebugEvent&)> callback) {
    impl->eventCallback = std::move(callback);
}

void DebugEngine::ClearEventCallback() { impl->eventCallback = nullptr; }

void DebugEngine::EmitEvent(const DebugEvent& event) {
    if (impl->eventCallback) impl->eventCallback(event);
}

bool DebugEngine::Detach() {
    if (!impl->process.IsValid()) return false;
    const lldb::StateType state = impl->process.GetState();
    if (state != lldb::eStateInvalid && state != lldb::eStateDetached && state != lldb::eStateExited) {
        lldb::SBError error = impl->process.Detach();
        if (error.Fail()) impl->process.Destroy();
    }
    impl->process = lldb::SBProcess();
    return true;
}

void DebugEngine::SetEnvironmentVariables(const EnvPairs& pairs) {
    if (&pairs != &impl->envPairs) impl->envPairs = pairs;
    ApplyProcessEnvPairs(impl->envPairs);
}

uint64_t DebugEngine::GetDebuggerHandle() const { return impl->debugger.IsValid() ? 1 : 0; }
uint64_t DebugEngine::GetTargetHandle() const { return impl->target.IsValid() ? 1 : 0; }
uint64_t DebugEngine::GetProcessHandle() const { return impl->process.IsValid() ? 1 : 0; }

}  // namespace lldb_debug

void TerminateLldb() {
    if (!lldb_debug::g_gLldbTerminated.exchange(true)) lldb::SBDebugger::Terminate();
}
