// The debugger engine: one object per debugging session, wrapping LLDB's SB API.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "lldb_debug_records.h"

namespace lldb {
class SBFileSpec;
}

namespace lldb_debug {

int ProcessStateFromLldb(int lldbState);
int StopReasonFromLldb(int lldbReason);
std::string FileSpecToPath(const lldb::SBFileSpec& spec);

// Writes the pairs (non-empty names only) into the host process environment.
void ApplyProcessEnvPairs(const EnvPairs& pairs);

class DebugEngine {
public:
    struct Impl;

    struct FrameVariablesPageResult {
        int32_t totalFiltered = 0;
        std::vector<Variable> variables;
    };

    struct DisassemblyInstruction {
        uint64_t address = 0;
        std::string machineCode;
        std::string mnemonic;
        std::string operands;
        std::string comment;
        bool currentInstruction = false;
    };

    DebugEngine();
    ~DebugEngine();
    DebugEngine(const DebugEngine&) = delete;
    DebugEngine& operator=(const DebugEngine&) = delete;

    // ---- object, callback, environment ----
    void SetEventCallback(std::function<void(const DebugEvent&)> callback);
    void ClearEventCallback();
    void EmitEvent(const DebugEvent& event);
    bool Detach();
    void SetEnvironmentVariables(const EnvPairs& pairs);
    uint64_t GetDebuggerHandle() const;
    uint64_t GetTargetHandle() const;
    uint64_t GetProcessHandle() const;

    // ---- platform, target, attach ----
    bool ConnectPlatform(const std::string& platformName, const std::string& url);
    bool ConnectPlatform(const std::string& url);
    bool CreateTarget();
    AttachResult AttachWithResult(int64_t pid);
    bool Attach(int64_t pid);
    void SyncProcessFromTarget();
    ProcessInfo GetProcessInfo() const;
    bool HasProcess() const;

    // ---- search paths, scripts, commands ----
    bool AppendExecSearchPaths(const std::string& path);
    bool SetExecSearchPaths(const std::vector<std::string>& paths);
    bool AppendDebugFileSearchPaths(const std::string& path);
    bool ImportKotlinScript(const std::string& scriptPath, std::string* output);
    bool HandleInterpreterCommand(const std::string& command, std::string* output);

    // ---- run control ----
    bool ContinueProcess(int64_t threadId);
    bool ContinueProcess();
    bool StopProcess();
    bool StopProcess(int ignored);
    bool StepOver(int64_t threadId);
    bool StepOver();
    bool StepInto(int64_t threadId);
    bool StepInto();
    bool StepOut(int64_t threadId);
    bool StepOut();
    bool StepInstructionInto(int64_t threadId);
    bool StepInstructionInto();
    bool StepInstructionOver(int64_t threadId);
    bool StepInstructionOver();
    bool RunToAddress(uint64_t address, int64_t threadId);

    // ---- events ----
    bool WaitForEvent(int timeoutSeconds, DebugEvent& event);
    bool WaitForStopEvent(int timeoutSeconds);
    void DrainListenerEvents();

    // ---- threads and frames ----
    std::vector<Thread> GetThreads() const;
    std::vector<Thread> GetThreadsPreview(uint32_t maxThreads) const;
    std::vector<Thread> GetThreadsFull() const;
    std::vector<Frame> GetFrames(int32_t position) const;
    uint32_t GetThreadCount() const;
    int32_t ResolveThreadProcessIndexById(int32_t threadId) const;
    uint32_t GetThreadNumFramesByLldbId(int32_t threadId) const;
    int32_t GetSelectedThreadId() const;
    bool SetSelectedThread(int32_t position);
    bool SetSelectedThreadByThreadId(int32_t threadId);
    bool SetSelectedThreadByIndexId(int32_t indexId);
    bool SetSelectedFrame(int32_t position, int32_t frameIndex);
    bool SetSelectedThreadAndFrame(int32_t threadId, int32_t frameIndex);

    // ---- breakpoints ----
    BreakpointResult SetBreakpoint(const std::string& file, int line, const std::string& condition,
                                   const std::vector<std::string>& fallbackPaths);
    int AddBreakpointByLocation(const std::string& file, int line);
    int AddBreakpointByName(const std::string& name);
    bool RemoveBreakpoint(int id);
    bool SetBreakpointEnabled(int id, bool enabled);
    bool SetBreakpointCondition(int id, const std::string& condition);
    bool SetBreakpointIgnoreCount(int id, int count);
    std::vector<Breakpoint> GetBreakpoints() const;

    // ---- variables ----
    FrameVariablesPageResult GetVariablesPage(int32_t threadIndex, int32_t frameIndex, int32_t offset,
                                              int32_t count) const;
    std::vector<Variable> GetVariables(int32_t threadIndex, int32_t frameIndex) const;
    void ClearFrameVariablesPageCache();
    std::vector<Variable> GetVariableChildren(const std::string& variableId) const;
    std::vector<Variable> GetVariableChildrenRange(const std::string& variableId, int32_t start,
                                                   int32_t count) const;
    std::vector<Variable> GetChildVariablesByPath(int32_t threadIndex, int32_t frameIndex,
                                                  const std::string& path) const;

    // ---- machine-level views ----
    std::vector<DisassemblyInstruction> DisassembleAroundFrame(int64_t threadId, int32_t frameIndex,
                                                               int32_t before, int32_t after);
    std::vector<DisassemblyInstruction> DisassembleFromLoadAddress(uint64_t loadAddress, uint32_t count,
                                                                   int64_t threadId, int32_t frameIndex);
    MemoryBlock ReadMemory(uint64_t address, uint64_t size);
    std::vector<RegisterSet> GetRegisterSets(int32_t position, int32_t frameIndex);
    EvalResult Evaluate(int32_t threadArgument, int32_t frameIndex, const std::string& expression);

private:
    static void EnsureSbdebuggerInitialized();
    std::unique_ptr<Impl> impl;
};

}  // namespace lldb_debug

// Shuts LLDB down for the whole process, at most once (library unload).
void TerminateLldb();
