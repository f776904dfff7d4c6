// Instruction windows around a frame's program counter and runs of instructions
// from a load address, each row with its bytes read from the process.
#include <cstdio>

#include "disassembly_window.h"
#include "engine_impl.h"
#include "env_switches.h"
#include "run_control.h"

namespace lldb_debug {

namespace {

using Rows = std::vector<DebugEngine::DisassemblyInstruction>;

// The frame both views work on; a non-zero thread id also becomes LLDB's selected
// thread. False when there is no process, thread or frame.
bool SelectThreadAndFrameForDisassembly(lldb::SBProcess& process, int64_t threadId, int32_t frameIndex,
                                        lldb::SBFrame& frame) {
    if (!process.IsValid()) return false;
    lldb::SBThread thread = ResolveSbThreadForStep(process, threadId);
    if (!thread.IsValid()) return false;
    const uint32_t index = frameIndex < 0 ? 0u : static_cast<uint32_t>(frameIndex);
    if (threadId != 0) process.SetSelectedThread(thread);
    frame = thread.GetFrameAtIndex(index);
    if (!frame.IsValid()) frame = thread.GetSelectedFrame();
    return frame.IsValid();
}

PcPosition FindPcIndexInInstructions(lldb::SBTarget& target, lldb::SBInstructionList& list, uint64_t pc) {
    return FindPcPosition(
        static_cast<uint32_t>(list.GetSize()),
        [&](uint32_t i) { return list.GetInstructionAtIndex(i).GetAddress().GetLoadAddress(target); }, pc);
}

uint64_t LoadAddressAt(lldb::SBTarget& target, lldb::SBInstructionList& list, size_t index) {
    return list.GetInstructionAtIndex(static_cast<uint32_t>(index)).GetAddress().GetLoadAddress(target);
}

std::string TextOrEmpty(const char* text) { return text != nullptr ? text : ""; }

void AppendDisassemblyRowForInstruction(lldb::SBTarget& target, lldb::SBProcess& process,
                                        lldb::SBInstruction instruction, uint64_t pc, Rows& rows) {
    DebugEngine::DisassemblyInstruction row;
    row.address = instruction.GetAddress().GetLoadAddress(target);
    row.mnemonic = TextOrEmpty(instruction.GetMnemonic(target));
    row.operands = TextOrEmpty(instruction.GetOperands(target));
    row.comment = TextOrEmpty(instruction.GetComment(target));
    row.currentInstruction = row.address == pc;
    const size_t size = instruction.GetByteSize();
    if (MachineCodeSizeShown(size)) {
        uint8_t bytes[kMachineCodeMaxBytes] = {};
        lldb::SBError error;
        const size_t read = process.ReadMemory(row.address, bytes, size, error);
        if (read != 0 && error.Success()) row.machineCode = FormatMachineCode(bytes, read < size ? read : size);
    }
    rows.push_back(std::move(row));
}

}  // namespace

std::vector<DebugEngine::DisassemblyInstruction> DebugEngine::DisassembleAroundFrame(int64_t threadId,
                                                                                     int32_t frameIndex,
                                                                                     int32_t before,
                                                                                     int32_t after) {
    Rows rows;
    lldb::SBTarget& target = impl->target;
    if (!target.IsValid()) return rows;
    SyncProcessFromTarget();
    lldb::SBProcess& process = impl->process;
    lldb::SBFrame frame;
    if (!SelectThreadAndFrameForDisassembly(process, threadId, frameIndex, frame)) return rows;
    const uint64_t pc = frame.GetPC();
    lldb::SBAddress pcAddress = frame.GetPCAddress();
    if (!pcAddress.IsValid()) return rows;

    // Decoding from the function start keeps instruction boundaries right on
    // variable-length instruction sets; code without a function starts at the pc.
    lldb::SBAddress startAddress = pcAddress;
    lldb::SBFunction function = frame.GetFunction();
    if (function.IsValid()) {
        lldb::SBAddress functionStart = function.GetStartAddress();
        if (functionStart.IsValid()) startAddress = functionStart;
    }

    const DisasmWindowPlan plan = PlanDisasmWindow(before, after);
    lldb::SBInstructionList list = target.ReadInstructions(startAddress, plan.firstRead);
    if (list.GetSize() == 0) list = target.ReadInstructions(pcAddress, plan.count);
    if (list.GetSize() == 0) return rows;

    PcPosition position = FindPcIndexInInstructions(target, list, pc);
    const bool beyond = LoadAddressAt(target, list, list.GetSize() - 1) < pc;
    if (!position.found || beyond) {
        lldb::SBInstructionList fromPc = target.ReadInstructions(pcAddress, plan.rereadCount);
        if (fromPc.GetSize() != 0) {
            list = fromPc;
            position = FindPcIndexInInstructions(target, list, pc);
        }
    }

    // Too few instructions before the pc: decode from further back and keep the
    // result only when it meets the pc on an instruction boundary.
    if (position.found && position.index < plan.before) {
        lldb::SBAddress backStart;
        backStart.SetLoadAddress(DisasmBackoffStart(pc, plan.before), target);
        lldb::SBInstructionList backList = target.ReadInstructions(backStart, plan.backoffCount);
        if (backList.GetSize() != 0) {
            const PcPosition backPosition = FindPcIndexInInstructions(target, backList, pc);
            if (backPosition.found && backPosition.index >= plan.before) {
                list = backList;
                position = backPosition;
            }
        }
    }

    // A pc near the end of the first read would leave the window short after it
    // although the code goes on: decode the window again from its first row, a
    // known instruction boundary, and keep that when it reaches further.
    if (position.found && static_cast<uint64_t>(position.index) + plan.after >= list.GetSize()) {
        const uint32_t from = position.index > plan.before ? position.index - plan.before : 0;
        lldb::SBInstructionList again =
            target.ReadInstructions(list.GetInstructionAtIndex(from).GetAddress(), plan.count);
        const PcPosition againPosition = FindPcIndexInInstructions(target, again, pc);
        if (againPosition.found && again.GetSize() > list.GetSize() - from) {
            list = again;
            position = againPosition;
        }
    }

    const uint32_t size = static_cast<uint32_t>(list.GetSize());
    if (LldbDebugEngineFlow()) {
        fprintf(stderr,
                "[ENGINE_FLOW][disassembleAroundFrame] pc=0x%llx rows=%u pc_found=%d pc_index=%u "
                "window=[0x%llx,0x%llx] requested(before=%d,after=%d)\n",
                static_cast<unsigned long long>(pc), size, position.found ? 1 : 0, position.index,
                static_cast<unsigned long long>(LoadAddressAt(target, list, 0)),
                static_cast<unsigned long long>(LoadAddressAt(target, list, size - 1)),
                static_cast<int>(plan.before), static_cast<int>(plan.after));
    }

    const DisasmRowRange range = DisasmWindowRows(position.index, plan.before, plan.after, size);
    rows.reserve(range.to - range.from + 1);
    for (uint32_t i = range.from; i <= range.to; ++i) {
        AppendDisassemblyRowForInstruction(target, process, list.GetInstructionAtIndex(i), pc, rows);
    }
    return rows;
}

std::vector<DebugEngine::DisassemblyInstruction> DebugEngine::DisassembleFromLoadAddress(uint64_t loadAddress,
                                                                                         uint32_t count,
                                                                                         int64_t threadId,
                                                                                         int32_t frameIndex) {
    Rows rows;
    lldb::SBTarget& target = impl->target;
    if (loadAddress == 0 || count == 0 || !target.IsValid()) return rows;
    SyncProcessFromTarget();
    lldb::SBProcess& process = impl->process;
    lldb::SBFrame frame;
    if (!SelectThreadAndFrameForDisassembly(process, threadId, frameIndex, frame)) return rows;
    const uint64_t pc = frame.GetPC();
    lldb::SBAddress address;
    address.SetLoadAddress(loadAddress, target);
    if (!address.IsValid()) return rows;

    const uint32_t requested = DisasmRunCount(count);
    lldb::SBInstructionList list = target.ReadInstructions(address, requested);
    const size_t size = list.GetSize();
    if (size == 0) return rows;
    rows.reserve(size);
    for (size_t i = 0; i < size; ++i) {
        AppendDisassemblyRowForInstruction(target, process, list.GetInstructionAtIndex(static_cast<uint32_t>(i)), pc,
                                           rows);
    }

    if (LldbDebugEngineFlow()) {
        fprintf(stderr,
                "[ENGINE_FLOW][disassembleFromLoadAddress] start=0x%llx pc=0x%llx rows=%zu range=[0x%llx,0x%llx] "
                "requested=%u\n",
                static_cast<unsigned long long>(loadAddress), static_cast<unsigned long long>(pc), rows.size(),
                static_cast<unsigned long long>(rows.empty() ? 0 : rows.front().address),
                static_cast<unsigned long long>(rows.empty() ? 0 : rows.back().address), requested);
    }
    return rows;
}

}  // namespace lldb_debug
