// A disassembly window of 50 instructions before and 50 after a parked pc, read
// through DebugEngine::DisassembleAroundFrame and through the raw SB API decoding
// the same range (address, mnemonic, operands and comment of each instruction).
// Both run alternately in one process against one stopped debuggee; the figure
// is the ratio of their median times per call.
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

constexpr int kBefore = 50;
constexpr int kAfter = 50;
constexpr int kRounds = 15;
constexpr int kCallsPerRound = 40;

}  // namespace

int main() {
    const HarnessPaths paths = DefaultHarnessPaths();
    lldb_debug::ApplyProcessEnvPairs(LldbEnvironmentPairs(paths));
    LoopbackPlatform platform(paths);
    Debuggee debuggee(paths, "disasm_target");
    lldb_debug::DebugEngine engine;
    if (!platform.ok() || debuggee.pid() <= 0 || !engine.ConnectPlatform("remote-linux", platform.connectUrl()) ||
        !engine.CreateTarget() || !engine.AttachWithResult(debuggee.pid()).success) {
        fprintf(stderr, "disassembly bench: could not attach to the fixture\n");
        return 1;
    }
    lldb::SBProcess process = ProcessWithPid(debuggee.pid());
    lldb::SBTarget target = process.GetTarget();
    int64_t tid = 0;
    for (uint32_t i = 0; i < process.GetNumThreads(); ++i) {
        const char* name = process.GetThreadAtIndex(i).GetName();
        if (name != nullptr && std::string(name) == "bench") tid = process.GetThreadAtIndex(i).GetThreadID();
    }
    const auto window = engine.DisassembleAroundFrame(tid, 0, kBefore, kAfter);
    if (tid == 0 || window.size() != kBefore + 1 + kAfter || !window[kBefore].currentInstruction) {
        fprintf(stderr, "disassembly bench: unexpected window of %zu rows\n", window.size());
        return 1;
    }
    lldb::SBAddress rangeStart;
    rangeStart.SetLoadAddress(window.front().address, target);
    const uint32_t rangeCount = static_cast<uint32_t>(window.size());

    size_t sink = 0;
    auto viaEngine = [&] { sink += engine.DisassembleAroundFrame(tid, 0, kBefore, kAfter).size(); };
    auto viaSbApi = [&] {
        lldb::SBInstructionList list = target.ReadInstructions(rangeStart, rangeCount);
        for (uint32_t i = 0; i < list.GetSize(); ++i) {
            lldb::SBInstruction instruction = list.GetInstructionAtIndex(i);
            sink += instruction.GetAddress().GetLoadAddress(target);
            const char* texts[] = {instruction.GetMnemonic(target), instruction.GetOperands(target),
                                   instruction.GetComment(target)};
            for (const char* text : texts) sink += text != nullptr ? text[0] : 0;
        }
    };
    viaEngine();
    viaSbApi();
    std::vector<double> engineTimes, sbTimes;
    for (int round = 0; round < kRounds; ++round) {
        engineTimes.push_back(MicrosPerCall(kCallsPerRound, viaEngine));
        sbTimes.push_back(MicrosPerCall(kCallsPerRound, viaSbApi));
    }
    const double engineUs = Median(engineTimes);
    const double sbUs = Median(sbTimes);
    printf("disassembly window %d+1+%d rows: engine %.1f us/call, raw SB API %.1f us/call, ratio %.2fx (checksum %zu)\n",
           kBefore, kAfter, engineUs, sbUs, engineUs / sbUs, sink % 10);
    return 0;
}
