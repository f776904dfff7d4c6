// Variable ids: the text by which a listed variable is found again for expansion
// (thread, frame and raw variable index, an optional root-name lock, a child path).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace lldb_debug {

std::string MakeVariableId(int32_t threadIndex, int32_t frameIndex, int32_t varIndex, const std::vector<int32_t>& path,
                           const std::string& rootName);

struct ParseVariableIdOutputs {
    uint32_t* tid = nullptr;
    uint32_t* fid = nullptr;
    uint32_t* varIndex = nullptr;
    std::vector<int32_t>* childPath = nullptr;
    std::string* rootNameLock = nullptr;
};

bool ParseVariableId(const std::string& text, const ParseVariableIdOutputs& out);

// [first, end) of a slice of `total` items asked for as (start, count); empty
// (first == end) when count <= 0 or start is outside. Never overflows.
struct SliceBounds {
    size_t first = 0;
    size_t end = 0;
};
SliceBounds ClampSlice(size_t total, int64_t start, int64_t count);

// Whether a variable declared at (declLine, declColumn) is reached at a stop at
// (stopLine, stopColumn); the validity flags and file comparison come from LLDB.
struct SourceOrderInputs {
    bool lineEntryValid = false;
    uint32_t stopLine = 0;
    uint32_t stopColumn = 0;
    bool declarationValid = false;
    uint32_t declLine = 0;
    uint32_t declColumn = 0;
    bool bothFilesValidAndDiffer = false;
};
bool DeclarationReachedBySourceOrder(const SourceOrderInputs& in);

bool ShouldSkipVariableForUI(const char* name, const char* valueText);

}  // namespace lldb_debug
