// Arithmetic of instruction windows: how much to decode, where the pc sits in a
// decoded run and which rows to keep. Kept free of LLDB so it can be tested alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace lldb_debug {

constexpr uint32_t kDisasmReadSlack = 64;         // extra instructions beyond the window
constexpr uint32_t kDisasmReadCap = 4096;         // most instructions decoded by one read
constexpr uint64_t kDisasmBackoffDistance = 128;  // instructions stepped back before the pc...
constexpr uint64_t kDisasmBackoffStride = 4;      // ...counted at 4 bytes each
constexpr uint32_t kDisasmBackoffExtra = 256;     // extra instructions of the back-off read
constexpr size_t kMachineCodeMaxBytes = 32;

// Window sizes and read counts for a window of `before` and `after` instructions
// around the pc. Negative sizes count as 0, and the window never exceeds the read
// cap, so no read below decodes more than kDisasmReadCap instructions.
struct DisasmWindowPlan {
    uint32_t before = 0;
    uint32_t after = 0;
    uint32_t count = 1;        // before + 1 + after
    uint32_t firstRead = 0;    // from the function start (or the pc)
    uint32_t rereadCount = 0;  // from the pc, when the first read misses it
    uint32_t backoffCount = 0; // from BackoffStart, when too little precedes the pc
};
DisasmWindowPlan PlanDisasmWindow(int32_t before, int32_t after);

// Start of the back-off read: (before + 128) instructions of 4 bytes below the pc,
// aligned down to 4; 0 when the pc is not above that distance.
uint64_t DisasmBackoffStart(uint64_t pc, uint32_t before);

struct PcPosition {
    bool found = false;
    uint32_t index = 0;  // the pc's index, or the last index at or below it (0 if none)
};

// Walks `size` addresses in decode order; `addressAt(i)` gives the i-th one.
template <typename AddressAt>
PcPosition FindPcPosition(uint32_t size, AddressAt&& addressAt, uint64_t pc) {
    PcPosition position;
    for (uint32_t i = 0; i < size; ++i) {
        const uint64_t address = addressAt(i);
        if (address == pc) return PcPosition{true, i};
        if (address <= pc) position.index = i;
    }
    return position;
}

// Inclusive index range of the rows kept around `pcIndex` in a run of `size`
// (size > 0) decoded instructions.
struct DisasmRowRange {
    uint32_t from = 0;
    uint32_t to = 0;
};
DisasmRowRange DisasmWindowRows(uint32_t pcIndex, uint32_t before, uint32_t after, uint32_t size);

// Instruction count of a run from a load address.
uint32_t DisasmRunCount(uint32_t requested);

// Byte sizes whose machine code is read and shown.
bool MachineCodeSizeShown(size_t size);

// "fd 7b bf a9": two lowercase hex digits per byte, one blank between bytes.
std::string FormatMachineCode(const uint8_t* bytes, size_t size);

}  // namespace lldb_debug
