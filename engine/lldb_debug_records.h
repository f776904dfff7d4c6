// Plain value records exchanged between the engine and its callers.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace lldb_debug {

// Values equal LLDB's lldb::StateType numbers.
enum class ProcessState : int32_t {
    Invalid = 0,
    Unloaded = 1,
    Connected = 2,
    Attaching = 3,
    Launching = 4,
    Stopped = 5,
    Running = 6,
    Stepping = 7,
    Crashed = 8,
    Detached = 9,
    Exited = 10,
    Suspended = 11,
};

// The engine's own numbering (not LLDB's).
enum class StopReason : int32_t {
    None = 0,
    Breakpoint = 1,
    Watchpoint = 2,
    Signal = 3,
    Exception = 4,
    Step = 5,
    Exec = 6,
    ThreadExiting = 7,
};

enum class EventType : int32_t {
    StateChanged = 0,
    BreakpointHit = 1,
    // 2 and 3 are never produced.
    BreakpointAdded = 4,
    BreakpointRemoved = 5,
    BreakpointChanged = 6,
};

struct StopInfo {
    StopReason reason = StopReason::None;
    int32_t breakpointId = 0;  // first stop-reason datum
    int32_t watchpointId = 0;  // second datum (location id for breakpoint stops)
    std::string description;   // never filled by the engine
};

struct Frame {
    int32_t index = 0;
    uint64_t pc = 0;
    std::string functionName;
    std::string module;
    std::string file;
    std::string filename;
    int32_t line = 0;
    int32_t column = 0;
    bool hasDebugInfo = false;
};

struct Thread {
    int32_t id = 0;
    uint32_t indexId = 0;
    std::string name;
    std::string queueName;
    StopReason stopReason = StopReason::None;
    StopInfo stopInfo;
    std::vector<Frame> frames;
    int32_t totalFrameCount = 0;
    bool framesTruncated = false;
};

struct DebugEvent {
    EventType type = EventType::StateChanged;
    ProcessState newState = ProcessState::Invalid;
    int32_t breakpointId = 0;
    int32_t threadId = 0;
    StopInfo stopInfo;
    std::string inferiorStdout;
    std::string inferiorStderr;
    std::vector<Frame> frames;
    int32_t totalFrameCount = 0;
    bool framesTruncated = false;
};

struct AttachResult {
    bool success = false;
    int64_t pid = 0;
    std::string executable;
    int32_t threadId = 0;
    std::string errorMessage;
};

struct ProcessInfo {
    uint64_t pid = 0;
    std::string executable;
    ProcessState state = ProcessState::Invalid;
    int32_t exitCode = 0;
};

// ---- breakpoints ----

struct BreakpointLocation {
    int64_t locationId = 0;
    std::string file;
    int32_t line = 0;
    int32_t column = 0;
    uint64_t address = 0;
    bool resolved = false;
};

struct Breakpoint {
    int32_t id = 0;
    bool enabled = true;
    std::string condition;
    uint32_t hitCount = 0;
    uint32_t ignoreCount = 0;
    std::string file;
    int32_t line = 0;
    std::string functionName;
    uint64_t address = 0;  // never filled
    std::vector<BreakpointLocation> locations;
};

struct BreakpointResult {
    bool valid = false;
    int32_t breakpointId = 0;
    std::string resolvedFile;
    int32_t resolvedLine = 0;
    int32_t locationCount = 0;
    std::string errorMessage;
};

// ---- variables ----

enum class ValueType : int32_t {
    Invalid = 0,
    Global = 1,
    Static = 2,
    Argument = 3,
    Local = 4,
    RegisterValue = 5,
    ConstResult = 6,
};

enum class VariableCategory : int32_t {
    Other = 0,
    Primitive = 1,
    String = 2,
    Array = 3,
    List = 4,
    Map = 5,
    Set = 6,
    Sequence = 7,
    Tuple = 8,
    Range = 9,
    Result = 10,
    Enum = 11,
    Function = 12,
    Throwable = 13,
    Lazy = 14,
    Unit = 15,
    Regex = 16,
    UserType = 17,
    NullPointer = 18,
};

struct Variable {
    std::string name;
    std::string type;
    std::string value;
    std::string summary;
    uint64_t address = 0;
    ValueType valueType = ValueType::Invalid;
    VariableCategory category = VariableCategory::Other;
    bool hasChildren = false;
    uint32_t numChildren = 0;
    bool isInScope = true;
    bool valueChanged = false;
    std::string variableId;
};

// ---- machine-level views ----

struct MemoryBlock {
    uint64_t address = 0;
    std::vector<uint8_t> data;
    uint32_t bytesRead = 0;
    std::string error;
};

struct Register {
    std::string name;
    std::string value;
    uint32_t byteSize = 0;
    std::string setName;
};

struct RegisterSet {
    std::string name;
    std::vector<Register> registers;
};

struct EvalResult {
    bool success = false;
    std::string error;
    Variable result;
};

using EnvPairs = std::vector<std::pair<std::string, std::string>>;

}  // namespace lldb_debug
