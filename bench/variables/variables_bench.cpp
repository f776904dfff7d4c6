// Frame variables and children through DebugEngine against the raw SB API reading
// the same values (name, type, value, summary, child count), alternating in one
// process against one stopped debuggee with the stand-in Kotlin formatter loaded:
//   (a) first page of 50 of a frame with 1,100 locals (page cache emptied each call)
//   (b) the same page again (page cache hit)
//   (c) 100 children of a 10,000-element array at offset 9,900 and at offset 0
// Each figure is the median time per call over several rounds.
#include <lldb/API/LLDB.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/bench_timing.h"
#include "engine_process.h"
#include "lldb_debug_engine.h"
#include "loopback_session.h"

using namespace nativescope_testing;
using nativescope_bench::Median;
using nativescope_bench::MicrosPerCall;

namespace {

constexpr int kRounds = 15;
constexpr int kCallsPerRound = 20;
constexpr int32_t kLocalsFrame = 1;  // the fixture stops one call below the frame of interest

size_t g_sink = 0;

void Touch(const char* text) { g_sink += text != nullptr ? static_cast<unsigned char>(text[0]) : 0; }

// What the IDE shows of one value, read straight from LLDB.
void ReadRaw(lldb::SBValue value) {
    Touch(value.GetName());
    Touch(value.GetTypeName());
    Touch(value.GetValue());
    Touch(value.GetSummary());
    g_sink += value.GetNumChildren();
}

bool StopIn(lldb_debug::DebugEngine& engine, const std::string& function) {
    std::string out;
    return engine.HandleInterpreterCommand("breakpoint set -n " + function, &out) &&
           engine.HandleInterpreterCommand("script lldb.debugger.SetAsync(False)", &out) &&
           engine.HandleInterpreterCommand("process continue", &out) &&
           engine.HandleInterpreterCommand("script lldb.debugger.SetAsync(True)", &out) &&
           engine.HandleInterpreterCommand("breakpoint delete -f", &out);
}

struct Figure {
    const char* label;
    double engineUs;
    double rawUs;
};

// Alternates the two bodies round by round and returns their medians.
template <typename Engine, typename Raw>
Figure Measure(const char* label, Engine&& viaEngine, Raw&& viaRaw) {
    viaEngine();
    viaRaw();
    std::vector<double> engineTimes, rawTimes;
    for (int round = 0; round < kRounds; ++round) {
        engineTimes.push_back(MicrosPerCall(kCallsPerRound, viaEngine));
        rawTimes.push_back(MicrosPerCall(kCallsPerRound, viaRaw));
    }
    return {label, Median(engineTimes), Median(rawTimes)};
}

uint32_t RawIndexOf(lldb::SBValueList& list, const char* name) {
    for (uint32_t i = 0; i < list.GetSize(); ++i) {
        const char* n = list.GetValueAtIndex(i).GetName();
        if (n != nullptr && std::string(n) == name) return i;
    }
    return UINT32_MAX;
}

}  // namespace

int main() {
    const HarnessPaths paths = DefaultHarnessPaths();
    lldb_debug::ApplyProcessEnvPairs(LldbEnvironmentPairs(paths));
    LoopbackPlatform platform(paths);
    Debuggee debuggee(paths, "kotlin_objects");
    lldb_debug::DebugEngine engine;
    std::string out;
    if (!platform.ok() || debuggee.pid() <= 0 || !engine.ConnectPlatform("remote-linux", platform.connectUrl()) ||
        !engine.CreateTarget() || !engine.AttachWithResult(debuggee.pid()).success ||
        !engine.ImportKotlinScript(paths.fixtureDir + "/kotlin_formatter.py", &out) || !StopIn(engine, "stop_many")) {
        std::fprintf(stderr, "variables bench: could not attach to and stop the fixture\n");
        return 1;
    }
    lldb::SBProcess process = ProcessWithPid(debuggee.pid());
    // The engine writes its always-on flow lines for every page; where they go is not its cost.
    std::fflush(stderr);
    if (std::freopen("/dev/null", "w", stderr) == nullptr) return 1;

    const auto firstPage = engine.GetVariablesPage(0, kLocalsFrame, 0, 50);
    if (firstPage.totalFiltered < 1000 || firstPage.variables.size() != 50) {
        std::printf("variables bench: unexpected page (%d filtered)\n", firstPage.totalFiltered);
        return 1;
    }
    auto rawPage = [&] {
        lldb::SBFrame frame = process.GetSelectedThread().GetFrameAtIndex(kLocalsFrame);
        lldb::SBValueList list = frame.GetVariables(true, true, false, true);
        for (uint32_t i = 0; i < 50; ++i) ReadRaw(list.GetValueAtIndex(i));
    };
    std::vector<Figure> figures;
    figures.push_back(Measure("(a) first page of 50, 1100 locals", [&] {
        engine.ClearFrameVariablesPageCache();
        g_sink += engine.GetVariablesPage(0, kLocalsFrame, 0, 50).variables.size();
    }, rawPage));
    figures.push_back(Measure("(b) same page again (cache hit)", [&] {
        g_sink += engine.GetVariablesPage(0, kLocalsFrame, 0, 50).variables.size();
    }, rawPage));

    if (!StopIn(engine, "stop_here")) {
        std::printf("variables bench: could not stop in stop_here\n");
        return 1;
    }
    std::string bigId;
    for (const auto& v : engine.GetVariables(0, kLocalsFrame)) {
        if (v.name == "big") bigId = v.variableId;
    }
    if (bigId.empty() || engine.GetVariableChildrenRange(bigId, 9900, 100).size() != 100) {
        std::printf("variables bench: no 10,000-element array\n");
        return 1;
    }
    auto rawChildren = [&](uint32_t start) {
        return [&, start] {
            lldb::SBFrame frame = process.GetSelectedThread().GetFrameAtIndex(kLocalsFrame);
            lldb::SBValueList list = frame.GetVariables(true, true, false, true);
            lldb::SBValue big = list.GetValueAtIndex(RawIndexOf(list, "big"));
            for (uint32_t i = start; i < start + 100; ++i) ReadRaw(big.GetChildAtIndex(i));
        };
    };
    figures.push_back(Measure("(c) children 9900..9999 of 10000", [&] {
        g_sink += engine.GetVariableChildrenRange(bigId, 9900, 100).size();
    }, rawChildren(9900)));
    figures.push_back(Measure("(c) children 0..99 of 10000", [&] {
        g_sink += engine.GetVariableChildrenRange(bigId, 0, 100).size();
    }, rawChildren(0)));

    std::printf("%-38s %12s %12s %8s\n", "case", "engine_us", "raw_sb_us", "ratio");
    for (const Figure& f : figures) {
        std::printf("%-38s %12.1f %12.1f %8.2f\n", f.label, f.engineUs, f.rawUs, f.engineUs / f.rawUs);
    }
    std::printf("(b)/(a) engine: %.2f (target <= 0.5)\n", figures[1].engineUs / figures[0].engineUs);
    std::printf("(c) offset 9900 / offset 0 engine: %.2f (target <= 1.5)\n", figures[2].engineUs / figures[3].engineUs);
    std::printf("targets: (a) ratio <= 1.5, (c) ratios <= 2.0  [sink %zu]\n", g_sink % 10);
    return 0;
}
