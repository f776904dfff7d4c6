// Register sets of one frame.
#include "engine_impl.h"

namespace lldb_debug {

std::vector<RegisterSet> DebugEngine::GetRegisterSets(int32_t position, int32_t frameIndex) {
    std::vector<RegisterSet> sets;
    lldb::SBProcess process = impl->process;
    if (!process.IsValid() || position < 0 || frameIndex < 0) return sets;
    lldb::SBThread thread = process.GetThreadAtIndex(static_cast<size_t>(position));
    if (!thread.IsValid()) return sets;
    lldb::SBFrame frame = thread.GetFrameAtIndex(static_cast<uint32_t>(frameIndex));
    if (!frame.IsValid()) return sets;
    lldb::SBValueList list = frame.GetRegisters();
    const uint32_t count = list.GetSize();
    for (uint32_t i = 0; i < count; ++i) {
        lldb::SBValue entry = list.GetValueAtIndex(i);
        if (!entry.IsValid()) continue;
        RegisterSet set;
        if (const char* name = entry.GetName()) set.name = name;
        const uint32_t n = entry.GetNumChildren();
        set.registers.reserve(n);
        for (uint32_t r = 0; r < n; ++r) {
            lldb::SBValue child = entry.GetChildAtIndex(r);
            if (!child.IsValid()) continue;
            Register reg;
            if (const char* name = child.GetName()) reg.name = name;
            if (const char* value = child.GetValue()) reg.value = value;
            reg.byteSize = static_cast<uint32_t>(child.GetByteSize());
            reg.setName = set.name;
            set.registers.push_back(std::move(reg));
        }
        sets.push_back(std::move(set));
    }
    return sets;
}

}  // namespace lldb_debug
