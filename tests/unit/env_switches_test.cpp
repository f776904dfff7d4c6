#include "env_switches.h"

#include <gtest/gtest.h>

using namespace lldb_debug;

namespace {

TEST(SwitchReading, FlagRule) {
    const std::pair<const char*, bool> table[] = {
        {nullptr, false}, {"", false}, {"0", false}, {"00", false}, {"0yes", false},
        {"1", true},      {"yes", true}, {"true", true}, {" ", true},
    };
    for (const auto& [value, on] : table) EXPECT_EQ(FlagValueOn(value), on) << (value ? value : "(unset)");
}

TEST(SwitchReading, OffSwitchRule) {
    const std::pair<const char*, bool> table[] = {
        {nullptr, true}, {"0", false}, {"00", true}, {"false", true}, {"", true}, {"1", true},
    };
    for (const auto& [value, on] : table) EXPECT_EQ(OffSwitchValueOn(value), on) << (value ? value : "(unset)");
}

TEST(SwitchReading, NumberRuleUsesAutomaticBase) {
    EXPECT_EQ(NumberValueOr(nullptr, 72), 72u);
    EXPECT_EQ(NumberValueOr("80", 72), 80u);
    EXPECT_EQ(NumberValueOr("0x50", 72), 80u);
    EXPECT_EQ(NumberValueOr("0120", 72), 80u);
}

TEST(SwitchReading, VariableChildrenDiagnostics) {
    struct Case {
        const char* skylark;
        const char* flow;
        bool on;
    };
    const Case table[] = {
        {"1", nullptr, true},  {"y", nullptr, true},  {"Yes", nullptr, true}, {"10", nullptr, false},
        {"10", "1", true},     {nullptr, "1", true},  {"0", "0", false},      {nullptr, nullptr, false},
    };
    for (const Case& c : table) {
        EXPECT_EQ(VarChildrenDiagValueOn(c.skylark, c.flow), c.on)
            << (c.skylark ? c.skylark : "(unset)") << "/" << (c.flow ? c.flow : "(unset)");
    }
}

TEST(SwitchReading, IsReadAtEveryUse) {
    setenv("LLDB_DEBUG_STEP_TIMING", "1", 1);
    EXPECT_TRUE(LldbDebugStepTiming());
    setenv("LLDB_DEBUG_STEP_TIMING", "0", 1);
    EXPECT_FALSE(LldbDebugStepTiming());
    unsetenv("LLDB_DEBUG_STEP_TIMING");
    EXPECT_FALSE(LldbDebugStepTiming());
}

TEST(Elapsed, IsMillisecondsFromNanoseconds) {
    const auto start = std::chrono::steady_clock::time_point{};
    EXPECT_DOUBLE_EQ(KotlinTypeElapsedMs(start, start + std::chrono::microseconds(1500)), 1.5);
}

}  // namespace
