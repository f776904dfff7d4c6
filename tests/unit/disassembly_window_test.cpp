#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "disassembly_window.h"

using namespace lldb_debug;

namespace {

TEST(DisasmWindow, PlanClampsSizesAndBoundsEveryRead) {
    struct Case {
        int32_t before, after;
        uint32_t wantBefore, wantAfter, count, firstRead, reread, backoff;
    };
    const Case cases[] = {
        {5, 5, 5, 5, 11, 80, 74, 266},
        {50, 50, 50, 50, 101, 215, 164, 356},
        {0, 0, 0, 0, 1, 65, 64, 256},
        {-3, -7, 0, 0, 1, 65, 64, 256},
        {INT_MIN, 10, 0, 10, 11, 75, 74, 266},
        {2000, 2000, 2000, 2000, 4001, 4096, 4064, 4096},
        // Untrusted sizes: the window is cut to what one read can hold.
        {INT_MAX, INT_MAX, 4095, 0, 4096, 4096, 4096, 4096},
        {100, INT_MAX, 100, 3995, 4096, 4096, 4096, 4096},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "before=" << c.before << " after=" << c.after);
        const DisasmWindowPlan plan = PlanDisasmWindow(c.before, c.after);
        EXPECT_EQ(plan.before, c.wantBefore);
        EXPECT_EQ(plan.after, c.wantAfter);
        EXPECT_EQ(plan.count, c.count);
        EXPECT_EQ(plan.firstRead, c.firstRead);
        EXPECT_EQ(plan.rereadCount, c.reread);
        EXPECT_EQ(plan.backoffCount, c.backoff);
    }
}

TEST(DisasmWindow, BackoffStartStepsBackAlignedAndStopsAtZero) {
    struct Case {
        uint64_t pc;
        uint32_t before;
        uint64_t start;
    };
    const Case cases[] = {
        {0x1000, 0, 0xe00},          // 128 * 4 bytes back
        {0x1003, 0, 0xe00},          // aligned down to 4
        {0x2001, 20, 0x1db0},        // (20 + 128) * 4 = 0x250 back
        {512, 0, 0},                 // not above the distance
        {513, 0, 0},                 // 1 aligned down
        {0, 4095, 0},
        {UINT64_MAX, 4095, (UINT64_MAX - (4095 + 128) * 4) & ~uint64_t{3}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(DisasmBackoffStart(c.pc, c.before), c.start) << std::hex << c.pc << " before=" << c.before;
    }
}

TEST(DisasmWindow, PcPositionIsExactMatchOrLastAddressBelow) {
    const std::vector<uint64_t> addresses = {10, 12, 15, 20};
    auto at = [&](uint32_t i) { return addresses[i]; };
    struct Case {
        uint64_t pc;
        bool found;
        uint32_t index;
    };
    const Case cases[] = {{10, true, 0}, {15, true, 2}, {20, true, 3}, {16, false, 2}, {5, false, 0}, {30, false, 3}};
    for (const Case& c : cases) {
        const PcPosition p = FindPcPosition(4, at, c.pc);
        EXPECT_EQ(p.found, c.found) << c.pc;
        EXPECT_EQ(p.index, c.index) << c.pc;
    }
    const PcPosition none = FindPcPosition(0, at, 15);
    EXPECT_FALSE(none.found);
    EXPECT_EQ(none.index, 0u);
}

TEST(DisasmWindow, RowsStayInsideTheDecodedRun) {
    struct Case {
        uint32_t pcIndex, before, after, size, from, to;
    };
    const Case cases[] = {
        {10, 5, 5, 100, 5, 15},
        {3, 20, 5, 100, 0, 8},   // fewer than `before` precede the pc
        {98, 5, 5, 100, 93, 99}, // fewer than `after` follow it
        {0, 0, 0, 1, 0, 0},
        {4095, 4095, 4095, 4096, 0, 4095},
    };
    for (const Case& c : cases) {
        const DisasmRowRange r = DisasmWindowRows(c.pcIndex, c.before, c.after, c.size);
        EXPECT_EQ(r.from, c.from) << c.pcIndex;
        EXPECT_EQ(r.to, c.to) << c.pcIndex;
    }
}

TEST(DisasmWindow, RunCountAndMachineCodeText) {
    EXPECT_EQ(DisasmRunCount(10000), 4096u);
    EXPECT_EQ(DisasmRunCount(UINT32_MAX), 4096u);
    EXPECT_EQ(DisasmRunCount(7), 7u);

    EXPECT_FALSE(MachineCodeSizeShown(0));
    EXPECT_TRUE(MachineCodeSizeShown(1));
    EXPECT_TRUE(MachineCodeSizeShown(32));
    EXPECT_FALSE(MachineCodeSizeShown(33));

    const uint8_t insn[] = {0xfd, 0x7b, 0xbf, 0xa9};
    EXPECT_EQ(FormatMachineCode(insn, 4), "fd 7b bf a9");
    const uint8_t one[] = {0x0a};
    EXPECT_EQ(FormatMachineCode(one, 1), "0a");
    EXPECT_EQ(FormatMachineCode(nullptr, 0), "");
}

}  // namespace
