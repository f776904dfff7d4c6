#include <lldb/API/LLDB.h>

#include <gtest/gtest.h>

#include "lldb_debug_engine.h"
#include "path_join.h"

using namespace lldb_debug;

namespace {

TEST(ProcessStateMapping, KeepsOneToElevenAndZeroesTheRest) {
    for (int s = 1; s <= 11; ++s) EXPECT_EQ(ProcessStateFromLldb(s), s);
    for (int s : {0, -1, 12, 1000}) EXPECT_EQ(ProcessStateFromLldb(s), 0) << s;
}

TEST(StopReasonMapping, FollowsLldbNumbers) {
    const std::pair<int, StopReason> table[] = {
        {0, StopReason::None},        {1, StopReason::None},      {2, StopReason::Step},
        {3, StopReason::Breakpoint},  {4, StopReason::Watchpoint}, {5, StopReason::Signal},
        {6, StopReason::Exception},   {7, StopReason::Exec},       {8, StopReason::Step},
        {9, StopReason::ThreadExiting}, {10, StopReason::None},    {-3, StopReason::None},
    };
    for (const auto& [lldb, engine] : table) EXPECT_EQ(StopReasonFromLldb(lldb), static_cast<int>(engine)) << lldb;
}

TEST(PathJoin, JoinsDirectoryAndName) {
    struct Case {
        const char* dir;
        const char* name;
        const char* expected;
    };
    const Case cases[] = {
        {"src", "Main.kt", "src/Main.kt"},    {"src/", "Main.kt", "src/Main.kt"},
        {"C:\\src\\", "Main.kt", "C:\\src\\Main.kt"}, {"", "Main.kt", "Main.kt"},
        {nullptr, "Main.kt", "Main.kt"},      {"src", "", ""},
        {"src", nullptr, ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(JoinDirectoryAndFilename(c.dir, c.name), c.expected)
            << (c.dir ? c.dir : "(null)") << " + " << (c.name ? c.name : "(null)");
    }
}

TEST(FileSpecToPathTest, UsesLldbPathOrEmpty) {
    EXPECT_EQ(FileSpecToPath(lldb::SBFileSpec()), "");
    EXPECT_EQ(FileSpecToPath(lldb::SBFileSpec("/work/src/Main.kt", false)), "/work/src/Main.kt");
    EXPECT_EQ(FileSpecToPath(lldb::SBFileSpec("Main.kt", false)), "Main.kt");
}

TEST(DebugEventDefaults, AreNeutral) {
    const DebugEvent e;
    EXPECT_EQ(e.type, EventType::StateChanged);
    EXPECT_EQ(e.newState, ProcessState::Invalid);
    EXPECT_EQ(e.breakpointId | e.threadId | e.totalFrameCount | e.stopInfo.breakpointId | e.stopInfo.watchpointId, 0);
    EXPECT_TRUE(e.frames.empty() && e.inferiorStdout.empty() && e.inferiorStderr.empty());
    EXPECT_FALSE(e.framesTruncated);
    EXPECT_TRUE(Variable().isInScope);
}

}  // namespace
