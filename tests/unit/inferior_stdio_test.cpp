#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "event_pump.h"

using namespace lldb_debug;

namespace {

// Stands in for LLDB's buffered inferior output: hands out at most what is asked
// for (or, when `overrun` is set, claims more than that) and keeps the rest.
struct PendingOutput {
    std::string pending;
    bool overrun = false;
    size_t calls = 0;
    size_t largestAsk = 0;

    size_t Read(char* buffer, size_t size) {
        ++calls;
        largestAsk = std::max(largestAsk, size);
        const size_t n = std::min(size, pending.size());
        std::copy_n(pending.begin(), n, buffer);
        pending.erase(0, n);
        return overrun && n > 0 ? size + 100 : n;
    }
    StdioReader Reader() {
        return [this](char* buffer, size_t size) { return Read(buffer, size); };
    }
};

std::string Pattern(size_t size) {
    std::string text(size, '\0');
    for (size_t i = 0; i < size; ++i) text[i] = static_cast<char>('a' + i % 26);
    return text;
}

TEST(InferiorStdio, EachDrainTakesAtMostTheBudgetAndLeavesTheRestPending) {
    struct Case {
        size_t pending;
        size_t firstDrain;
    };
    const Case cases[] = {
        {0, 0},
        {100, 100},
        {kInferiorStdioChunk, kInferiorStdioChunk},
        {kInferiorStdioBudget, kInferiorStdioBudget},
        {kInferiorStdioBudget + 1, kInferiorStdioBudget},
        {kInferiorStdioBudget + 5000, kInferiorStdioBudget},  // the last chunk that would cross the cap is cut, not dropped
        {3 * kInferiorStdioBudget, kInferiorStdioBudget},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.pending);
        const std::string all = Pattern(c.pending);
        PendingOutput source{all};
        std::string out = "earlier|";
        EXPECT_EQ(DrainStdioStream(source.Reader(), &out), c.firstDrain);
        EXPECT_EQ(out.size(), 8 + c.firstDrain);
        EXPECT_LE(source.largestAsk, kInferiorStdioChunk);
        // Later drains pick up exactly where the earlier one stopped: nothing is lost.
        while (DrainStdioStream(source.Reader(), &out) > 0) {
        }
        EXPECT_EQ(out, "earlier|" + all);
    }
}

TEST(InferiorStdio, AReaderCannotPushPastTheBufferOrTheBudget) {
    PendingOutput source{Pattern(kInferiorStdioBudget * 2), true};
    std::string out;
    EXPECT_EQ(DrainStdioStream(source.Reader(), &out, 40000), 40000u);
    EXPECT_EQ(out, Pattern(40000));
}

TEST(InferiorStdio, ANullTargetReadsNothing) {
    PendingOutput source{"kept"};
    EXPECT_EQ(DrainStdioStream(source.Reader(), nullptr), 0u);
    EXPECT_EQ(source.calls, 0u);
    EXPECT_EQ(source.pending, "kept");
}

}  // namespace
