// Raw memory of the stopped process.
#include "engine_impl.h"

namespace lldb_debug {

// A request is a Java long: reading more than this in one go is refused rather
// than letting one call allocate arbitrary amounts of memory.
constexpr uint64_t kMaxMemoryReadBytes = 16ull * 1024 * 1024;

MemoryBlock DebugEngine::ReadMemory(uint64_t address, uint64_t size) {
    MemoryBlock block;
    block.address = address;
    lldb::SBProcess process = impl->process;
    if (!process.IsValid()) {
        block.error = "no process";
        return block;
    }
    if (size > kMaxMemoryReadBytes) {
        block.error = "read size " + std::to_string(size) + " exceeds the limit of " +
                      std::to_string(kMaxMemoryReadBytes) + " bytes";
        return block;
    }
    if (size == 0) return block;
    block.data.resize(static_cast<size_t>(size), 0);
    lldb::SBError error;
    const size_t got = process.ReadMemory(address, block.data.data(), static_cast<size_t>(size), error);
    block.bytesRead = static_cast<uint32_t>(got);
    if (error.Fail() && error.GetCString() != nullptr) block.error = error.GetCString();
    if (got < size) block.data.resize(got);
    return block;
}

}  // namespace lldb_debug
