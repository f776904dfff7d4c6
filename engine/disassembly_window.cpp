#include "disassembly_window.h"

#include <algorithm>

namespace lldb_debug {

DisasmWindowPlan PlanDisasmWindow(int32_t before, int32_t after) {
    DisasmWindowPlan plan;
    // Sizes come from Java: a window larger than one read could hold would make
    // every read below unbounded, so the window is cut to the read cap, keeping
    // the instructions before the pc first.
    const int64_t maxSide = static_cast<int64_t>(kDisasmReadCap) - 1;
    plan.before = static_cast<uint32_t>(std::clamp<int64_t>(before, 0, maxSide));
    plan.after = static_cast<uint32_t>(std::clamp<int64_t>(after, 0, maxSide - plan.before));
    plan.count = plan.before + 1 + plan.after;
    plan.firstRead = std::max(std::min(plan.before + plan.count + kDisasmReadSlack, kDisasmReadCap), plan.count);
    // count <= kDisasmReadCap, so these stay at least count after the cap.
    plan.rereadCount = std::min(std::max(plan.count, plan.before + plan.after + kDisasmReadSlack), kDisasmReadCap);
    plan.backoffCount = std::min(std::max(plan.count, plan.before + plan.after + kDisasmBackoffExtra), kDisasmReadCap);
    return plan;
}

uint64_t DisasmBackoffStart(uint64_t pc, uint32_t before) {
    const uint64_t distance = (before + kDisasmBackoffDistance) * kDisasmBackoffStride;
    if (pc <= distance) return 0;
    return (pc - distance) & ~(kDisasmBackoffStride - 1);
}

DisasmRowRange DisasmWindowRows(uint32_t pcIndex, uint32_t before, uint32_t after, uint32_t size) {
    DisasmRowRange range;
    if (size == 0) return range;
    range.from = pcIndex > before ? pcIndex - before : 0;
    range.to = static_cast<uint32_t>(std::min<uint64_t>(static_cast<uint64_t>(pcIndex) + after, size - 1));
    return range;
}

uint32_t DisasmRunCount(uint32_t requested) { return std::min(requested, kDisasmReadCap); }

bool MachineCodeSizeShown(size_t size) { return size >= 1 && size <= kMachineCodeMaxBytes; }

std::string FormatMachineCode(const uint8_t* bytes, size_t size) {
    static const char kDigits[] = "0123456789abcdef";
    std::string text;
    text.reserve(size * 3);
    for (size_t i = 0; i < size; ++i) {
        if (i != 0) text += ' ';
        text += kDigits[bytes[i] >> 4];
        text += kDigits[bytes[i] & 0x0f];
    }
    return text;
}

}  // namespace lldb_debug
