// Platform, target, attach, process facts, search paths, script import and
// interpreter commands.
#include <cstdio>

#include "engine_impl.h"
#include "env_switches.h"

namespace lldb_debug {
namespace {

struct CommandOutcome {
    bool succeeded = false;
    std::string output;
    std::string error;
};

CommandOutcome RunCommand(lldb::SBDebugger& debugger, const std::string& text) {
    lldb::SBCommandReturnObject result;
    lldb::SBCommandInterpreter interpreter = debugger.GetCommandInterpreter();
    interpreter.HandleCommand(text.c_str(), result, false);
    CommandOutcome outcome;
    outcome.succeeded = result.Succeeded();
    if (const char* out = result.GetOutput()) outcome.output = out;
    if (const char* err = result.GetError()) outcome.error = err;
    return outcome;
}

// Output, then a newline and the error text when both are present.
std::string CollectOutput(const CommandOutcome& outcome) {
    std::string text = outcome.output;
    if (!outcome.error.empty()) {
        if (!text.empty()) text += '\n';
        text += outcome.error;
    }
    return text;
}

}  // namespace

bool DebugEngine::ConnectPlatform(const std::string& platformName, const std::string& url) {
    impl->platform = lldb::SBPlatform(platformName.c_str());
    lldb::SBPlatformConnectOptions options(url.c_str());
    lldb::SBError error = impl->platform.ConnectRemote(options);
    if (error.Fail()) return false;
    impl->debugger.SetSelectedPlatform(impl->platform);
    return true;
}

bool DebugEngine::ConnectPlatform(const std::string& url) { return ConnectPlatform("remote-ohos", url); }

bool DebugEngine::CreateTarget() {
    impl->target = impl->debugger.CreateTarget(nullptr);
    return impl->target.IsValid();
}

AttachResult DebugEngine::AttachWithResult(int64_t pid) {
    AttachResult result;
    result.pid = pid;
    if (!impl->target.IsValid()) {
        result.errorMessage = "target invalid";
        return result;
    }
    ApplyProcessEnvPairs(impl->envPairs);
    impl->debugger.SetAsync(true);

    lldb::SBError error;
    impl->process = impl->target.AttachToProcessWithID(impl->listener, static_cast<lldb::pid_t>(pid), error);
    if (error.Fail() || !impl->process.IsValid()) {
        const char* text = error.GetCString();
        result.errorMessage = text != nullptr ? text : "attach failed";
        return result;
    }
    impl->target = impl->process.GetTarget();
    if (lldb::SBDebugger::StateIsRunningState(impl->process.GetState())) impl->process.Stop();
    result.success = true;

    if (impl->target.IsValid()) {
        lldb::SBFileSpec exe = impl->target.GetExecutable();
        if (exe.IsValid()) {
            result.executable = FileSpecToPath(exe);
            if (result.executable.empty() && exe.GetFilename() != nullptr) result.executable = exe.GetFilename();
        }
    }
    lldb::SBThread thread = impl->process.GetSelectedThread();
    if (!thread.IsValid()) thread = impl->process.GetThreadAtIndex(0);
    if (thread.IsValid()) result.threadId = static_cast<int32_t>(thread.GetThreadID());

    DebugEvent event;
    event.type = EventType::StateChanged;
    event.newState = GetProcessInfo().state;
    EmitEvent(event);
    return result;
}

bool DebugEngine::Attach(int64_t pid) { return AttachWithResult(pid).success; }

void DebugEngine::SyncProcessFromTarget() {
    if (!impl->target.IsValid()) return;
    lldb::SBProcess process = impl->target.GetProcess();
    if (process.IsValid()) impl->process = process;
}

ProcessInfo DebugEngine::GetProcessInfo() const {
    ProcessInfo info;
    if (!impl->process.IsValid()) return info;
    info.pid = impl->process.GetProcessID();
    info.state = static_cast<ProcessState>(ProcessStateFromLldb(impl->process.GetState()));
    info.exitCode = impl->process.GetExitStatus();
    if (impl->target.IsValid()) {
        lldb::SBFileSpec exe = impl->target.GetExecutable();
        if (exe.IsValid()) info.executable = FileSpecToPath(exe);
    }
    return info;
}

bool DebugEngine::HasProcess() const { return impl->process.IsValid(); }

bool DebugEngine::AppendExecSearchPaths(const std::string& path) {
    if (path.empty()) return true;
    return RunCommand(impl->debugger, "settings append target.exec-search-paths " + path).succeeded;
}

bool DebugEngine::SetExecSearchPaths(const std::vector<std::string>& paths) {
    for (const std::string& path : paths) {
        if (!path.empty() && !AppendExecSearchPaths(path)) return false;
    }
    return true;
}

bool DebugEngine::AppendDebugFileSearchPaths(const std::string& path) {
    if (path.empty()) return true;
    return RunCommand(impl->debugger, "settings append target.debug-file-search-paths " + path).succeeded;
}

bool DebugEngine::ImportKotlinScript(const std::string& scriptPath, std::string* output) {
    if (scriptPath.empty()) return true;
    SetProcessEnv("OHOS_KMP_KOTLIN_LLDB_ROOT", scriptPath.c_str());
    const std::string command = "command script import " + scriptPath;
    const CommandOutcome outcome = RunCommand(impl->debugger, command);
    if (output != nullptr) *output = CollectOutput(outcome);
    if (!outcome.succeeded) {
        std::fprintf(stderr, "[LLDB_IMPORT] failed cmd=%s\n", command.c_str());
        if (!outcome.output.empty()) std::fprintf(stderr, "[LLDB_IMPORT] stdout: %s\n", outcome.output.c_str());
        if (!outcome.error.empty()) std::fprintf(stderr, "[LLDB_IMPORT] stderr: %s\n", outcome.error.c_str());
        std::fflush(stderr);
    }
    return outcome.succeeded;
}

bool DebugEngine::HandleInterpreterCommand(const std::string& command, std::string* output) {
    if (command.empty()) return true;
    const CommandOutcome outcome = RunCommand(impl->debugger, command);
    if (output != nullptr) *output = CollectOutput(outcome);
    return outcome.succeeded;
}

}  // namespace lldb_debug
