// Which locals a frame lists by where they are declared relative to its stop
// position, against a debuggee whose stop lies far right on its line.
#include <algorithm>

#include "engine_fixture.h"

using namespace lldb_debug;
using nativescope_testing::AttachedEngine;

namespace {

constexpr int32_t kCallerFrame = 1;  // order_here(), stopped at its call of stop_order()

bool StopInStopOrder(DebugEngine& engine) {
    std::string out;
    return engine.HandleInterpreterCommand("breakpoint set -n stop_order", &out) &&
           engine.HandleInterpreterCommand("script lldb.debugger.SetAsync(False)", &out) &&
           engine.HandleInterpreterCommand("process continue", &out) &&
           engine.HandleInterpreterCommand("script lldb.debugger.SetAsync(True)", &out) &&
           engine.HandleInterpreterCommand("breakpoint delete -f", &out);
}

TEST(SourceOrder, LocalsAreListedOnlyOnceTheirDeclarationIsBehindTheStop) {
    AttachedEngine s("source_order");
    ASSERT_TRUE(s.attached());
    ASSERT_TRUE(StopInStopOrder(*s.engine));
    std::vector<std::string> names;
    for (const Variable& v : s.engine->GetVariables(0, kCallerFrame)) names.push_back(v.name);
    std::sort(names.begin(), names.end());
    // rightOfStop shares the line before the stop but starts right of the stop's
    // column; after follows the stop line; included is declared further down another
    // file than the stop line, which does not hide it.
    EXPECT_EQ(names, (std::vector<std::string>{"before", "included", "leftOfStop"}));
}

}  // namespace
