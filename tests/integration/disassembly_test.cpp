#include <lldb/API/LLDB.h>

#include <climits>
#include <map>
#include <sstream>

#include "engine_fixture.h"
#include "engine_process.h"

using namespace lldb_debug;
using nativescope_testing::AttachedEngine;
using nativescope_testing::ProcessWithPid;
using Rows = std::vector<DebugEngine::DisassemblyInstruction>;

namespace {

// The fixture parks one thread per spot; the main thread carries the program name.
struct ParkedThreads {
    lldb::SBProcess process;
    std::map<std::string, lldb::SBThread> byName;

    explicit ParkedThreads(pid_t pid) : process(ProcessWithPid(pid)) {
        for (uint32_t i = 0; i < process.GetNumThreads(); ++i) {
            lldb::SBThread thread = process.GetThreadAtIndex(i);
            const char* name = thread.GetName();
            byName[name != nullptr && std::string(name) != "disasm_target" ? name : "middle"] = thread;
        }
    }
    int64_t tid(const std::string& name) { return static_cast<int64_t>(byName[name].GetThreadID()); }
    uint64_t pc(const std::string& name, uint32_t frame = 0) { return byName[name].GetFrameAtIndex(frame).GetPC(); }
};

size_t ByteCount(const std::string& machineCode) { return machineCode.empty() ? 0 : (machineCode.size() + 1) / 3; }

std::string Describe(const Rows& rows) {
    std::ostringstream out;
    for (const auto& r : rows) {
        out << std::hex << r.address << (r.currentInstruction ? " *" : "  ") << r.machineCode << "  " << r.mnemonic
            << ' ' << r.operands << '\n';
    }
    return out.str();
}

// Rows must follow each other without gaps, and exactly the row at `pc` is marked.
void ExpectContiguousWithMark(const Rows& rows, uint64_t pc, size_t markedAt) {
    ASSERT_LT(markedAt, rows.size()) << Describe(rows);
    for (size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(rows[i].currentInstruction, i == markedAt) << i << '\n' << Describe(rows);
        ASSERT_FALSE(rows[i].machineCode.empty()) << i;
        if (i + 1 < rows.size()) {
            EXPECT_EQ(rows[i + 1].address, rows[i].address + ByteCount(rows[i].machineCode)) << i << '\n'
                                                                                               << Describe(rows);
        }
    }
    EXPECT_EQ(rows[markedAt].address, pc);
}

class Disassembly : public testing::Test {
protected:
    static void SetUpTestSuite() {
        session = new AttachedEngine("disasm_target");
        if (session->attached()) threads = new ParkedThreads(session->debuggee->pid());
    }
    static void TearDownTestSuite() {
        delete threads;
        delete session;
        threads = nullptr;
        session = nullptr;
    }
    void SetUp() override {
        ASSERT_TRUE(session->attached()) << session->result.errorMessage;
        ASSERT_EQ(threads->byName.size(), 6u);
    }
    DebugEngine& engine() { return *session->engine; }

    static AttachedEngine* session;
    static ParkedThreads* threads;
};
AttachedEngine* Disassembly::session = nullptr;
ParkedThreads* Disassembly::threads = nullptr;

TEST_F(Disassembly, WindowsAroundTheParkedPcs) {
    struct Case {
        const char* thread;
        int32_t before, after;
        size_t rows, markedAt;
    };
    const Case cases[] = {
        {"middle", 5, 5, 11, 5},    // inside the first read from the function start
        {"far", 5, 5, 11, 5},       // pc beyond the first read: re-read from the pc, then back off
        {"far", 50, 50, 101, 50},
        {"late", 5, 5, 11, 5},      // pc near the end of the first read: the rows after it still come
        {"middle", 0, 0, 1, 0},
        {"middle", -4, -9, 1, 0},   // negative sizes count as 0
        {"early", 20, 2, 23, 20},   // back-off reaches into the code before the function
        {"nosym", 5, 5, 11, 5},     // no function: decoding starts at the pc, back-off adds the rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.thread << " before=" << c.before << " after=" << c.after);
        const Rows rows = engine().DisassembleAroundFrame(threads->tid(c.thread), 0, c.before, c.after);
        ASSERT_EQ(rows.size(), c.rows) << Describe(rows);
        ExpectContiguousWithMark(rows, threads->pc(c.thread), c.markedAt);
        EXPECT_EQ(rows[c.markedAt].machineCode, "eb fe");
        EXPECT_EQ(rows[c.markedAt].mnemonic, "jmp");
    }
}

TEST_F(Disassembly, BackoffBeforeAFunctionStartShowsThePrecedingCode) {
    const Rows rows = engine().DisassembleAroundFrame(threads->tid("early"), 0, 20, 0);
    ASSERT_EQ(rows.size(), 21u) << Describe(rows);
    // early_function: push, mov, nop, then the parked jmp; nop_sled ends with ret.
    EXPECT_EQ(rows[17].mnemonic.rfind("push", 0), 0u) << Describe(rows);
    EXPECT_EQ(rows[16].mnemonic.rfind("ret", 0), 0u) << Describe(rows);
    EXPECT_EQ(rows[0].mnemonic.rfind("nop", 0), 0u) << Describe(rows);
}

TEST_F(Disassembly, HugeWindowIsCutToOneRead) {
    const Rows rows = engine().DisassembleAroundFrame(threads->tid("nosym"), 0, INT_MAX, INT_MAX);
    ASSERT_FALSE(rows.empty());
    EXPECT_LE(rows.size(), 4096u);
    size_t marked = 0;
    for (const auto& r : rows) marked += r.currentInstruction ? 1 : 0;
    EXPECT_EQ(marked, 1u);
}

TEST_F(Disassembly, FrameChoiceFollowsIndexAndFallsBackToTheSelectedFrame) {
    struct Case {
        int32_t frameIndex;
        uint32_t pcOfFrame;
    };
    // Frame 1 is main, at the return address after the call; an index without a
    // frame falls back to the selected frame (0).
    const Case cases[] = {{1, 1}, {0, 0}, {-3, 0}, {1000, 0}};
    for (const Case& c : cases) {
        const Rows rows = engine().DisassembleAroundFrame(threads->tid("middle"), c.frameIndex, 2, 2);
        ASSERT_EQ(rows.size(), 5u) << c.frameIndex << '\n' << Describe(rows);
        ExpectContiguousWithMark(rows, threads->pc("middle", c.pcOfFrame), 2);
    }
}

TEST_F(Disassembly, ThreadIdSelectsTheThreadAndZeroKeepsTheSelection) {
    lldb::SBProcess& process = threads->process;
    ASSERT_FALSE(engine().DisassembleAroundFrame(threads->tid("far"), 0, 1, 1).empty());
    EXPECT_EQ(static_cast<int64_t>(process.GetSelectedThread().GetThreadID()), threads->tid("far"));
    const Rows rows = engine().DisassembleAroundFrame(0, 0, 1, 1);
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[1].address, threads->pc("far")) << "thread 0 means the selected thread";
    EXPECT_EQ(static_cast<int64_t>(process.GetSelectedThread().GetThreadID()), threads->tid("far"));
    ASSERT_FALSE(engine().DisassembleFromLoadAddress(threads->pc("early"), 3, threads->tid("early"), 0).empty());
    EXPECT_EQ(static_cast<int64_t>(process.GetSelectedThread().GetThreadID()), threads->tid("early"));
}

TEST_F(Disassembly, RunFromLoadAddressIsCappedAndMarksThePc) {
    const int64_t tid = threads->tid("nosym");
    const uint64_t pc = threads->pc("nosym");
    const uint64_t regionStart = pc - 2048;
    struct Case {
        uint64_t address;
        uint32_t count;
        size_t rows;
    };
    const Case cases[] = {{regionStart, 10000, 4096}, {regionStart, UINT32_MAX, 4096}, {pc - 8, 10, 10},
                          {regionStart, 0, 0},        {0, 10, 0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.address << std::dec << " count=" << c.count);
        const Rows rows = engine().DisassembleFromLoadAddress(c.address, c.count, tid, 0);
        ASSERT_EQ(rows.size(), c.rows);
        if (rows.empty()) continue;
        const size_t markedAt = static_cast<size_t>(pc - c.address) / 4;  // 4-byte nops up to the pc
        ExpectContiguousWithMark(rows, pc, markedAt);
    }
    // Marking follows the chosen frame, not the address range.
    const Rows other = engine().DisassembleFromLoadAddress(pc - 8, 10, threads->tid("middle"), 0);
    ASSERT_EQ(other.size(), 10u);
    for (const auto& r : other) EXPECT_FALSE(r.currentInstruction);
}

TEST_F(Disassembly, MachineCodeIsTheProcessMemoryAtEachRow) {
    const Rows rows = engine().DisassembleAroundFrame(threads->tid("middle"), 0, 8, 8);
    ASSERT_EQ(rows.size(), 17u);
    for (const auto& r : rows) {
        const size_t n = ByteCount(r.machineCode);
        ASSERT_GT(n, 0u);
        const MemoryBlock block = engine().ReadMemory(r.address, n);
        ASSERT_EQ(block.data.size(), n) << block.error;
        std::string hex;
        char digits[4];
        for (size_t i = 0; i < n; ++i) {
            snprintf(digits, sizeof digits, i == 0 ? "%02x" : " %02x", block.data[i]);
            hex += digits;
        }
        EXPECT_EQ(r.machineCode, hex) << std::hex << r.address;
    }
}

TEST(DisassemblyWithoutProcess, GivesNoRows) {
    DebugEngine engine;
    EXPECT_TRUE(engine.DisassembleAroundFrame(0, 0, 5, 5).empty());
    EXPECT_TRUE(engine.DisassembleFromLoadAddress(0x1000, 10, 0, 0).empty());
    ASSERT_TRUE(engine.CreateTarget());
    EXPECT_TRUE(engine.DisassembleAroundFrame(0, 0, 5, 5).empty());
    EXPECT_TRUE(engine.DisassembleFromLoadAddress(0x1000, 10, 0, 0).empty());
}

}  // namespace
