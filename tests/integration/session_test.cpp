#include <chrono>
#include <thread>

#include "engine_fixture.h"

using namespace lldb_debug;
using nativescope_testing::AttachedEngine;

namespace {

TEST(EngineSession, AttachStopsProcessAndReportsOneStateEvent) {
    AttachedEngine s("session_target");
    ASSERT_TRUE(s.platform.ok());
    std::vector<DebugEvent> events;
    // The callback must see exactly one StateChanged event during the attach.
    auto engine = std::make_unique<DebugEngine>();
    engine->SetEventCallback([&](const DebugEvent& e) { events.push_back(e); });
    ASSERT_TRUE(engine->ConnectPlatform("remote-linux", s.platform.connectUrl()));
    ASSERT_TRUE(engine->CreateTarget());
    // Detach the fixture's first engine so this one can attach.
    s.engine.reset();
    const AttachResult r = engine->AttachWithResult(s.debuggee->pid());
    ASSERT_TRUE(r.success) << r.errorMessage;
    EXPECT_EQ(r.pid, s.debuggee->pid());
    EXPECT_NE(r.threadId, 0);
    EXPECT_NE(r.executable.find("session_target"), std::string::npos) << r.executable;
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, EventType::StateChanged);
    EXPECT_EQ(events[0].newState, ProcessState::Stopped);

    const ProcessInfo info = engine->GetProcessInfo();
    EXPECT_EQ(info.pid, static_cast<uint64_t>(s.debuggee->pid()));
    EXPECT_EQ(info.state, ProcessState::Stopped);
    EXPECT_TRUE(engine->Detach());
    EXPECT_FALSE(engine->Detach()) << "no process left";
    EXPECT_EQ(engine->GetTargetHandle(), 1u) << "the target survives a detach";
}

TEST(EngineSession, FailuresReportTheirReason) {
    AttachedEngine s("session_target");
    DebugEngine engine;
    EXPECT_EQ(engine.AttachWithResult(1234).errorMessage, "target invalid");
    EXPECT_FALSE(engine.ConnectPlatform("remote-linux", "connect://127.0.0.1:1"));
    ASSERT_TRUE(engine.CreateTarget());
    const AttachResult r = engine.AttachWithResult(999999);
    EXPECT_FALSE(r.success);
    EXPECT_FALSE(r.errorMessage.empty());
    const ProcessInfo none = DebugEngine().GetProcessInfo();
    EXPECT_EQ(none.pid, 0u);
    EXPECT_EQ(none.state, ProcessState::Invalid);
}

TEST(EngineSession, DestroyingAnAttachedEngineLeavesTheDebuggeeRunning) {
    AttachedEngine s("session_target");
    ASSERT_TRUE(s.attached()) << s.result.errorMessage;
    s.engine.reset();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    EXPECT_TRUE(s.debuggee->alive());
}

TEST(EngineSession, InterpreterCommandsCollectOutputThenError) {
    DebugEngine engine;
    std::string out = "stale";
    EXPECT_TRUE(engine.HandleInterpreterCommand("", &out));
    EXPECT_EQ(out, "stale") << "an empty command runs nothing";
    EXPECT_FALSE(engine.HandleInterpreterCommand("no-such-command", &out));
    EXPECT_NE(out.find("no-such-command"), std::string::npos) << out;
    EXPECT_TRUE(engine.HandleInterpreterCommand("script print('hello')", &out));
    EXPECT_EQ(out, "hello\n");
    EXPECT_TRUE(engine.HandleInterpreterCommand("script import ctypes; print(ctypes.sizeof(ctypes.c_int))", &out));
    EXPECT_EQ(out, "4\n");
    EXPECT_TRUE(engine.AppendExecSearchPaths(""));
    EXPECT_TRUE(engine.SetExecSearchPaths({"/tmp/a", "", "/tmp/b"}));
    EXPECT_TRUE(engine.HandleInterpreterCommand("settings show target.exec-search-paths", &out));
    EXPECT_NE(out.find("/tmp/a"), std::string::npos);
    EXPECT_NE(out.find("/tmp/b"), std::string::npos);
}

TEST(EngineSession, ScriptImportSetsRootAndReportsFailure) {
    DebugEngine engine;
    std::string out;
    testing::internal::CaptureStderr();
    EXPECT_FALSE(engine.ImportKotlinScript("/nonexistent/konan_lldb.py", &out));
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_STREQ(getenv("OHOS_KMP_KOTLIN_LLDB_ROOT"), "/nonexistent/konan_lldb.py");
    EXPECT_FALSE(out.empty());
    EXPECT_NE(err.find("[LLDB_IMPORT] failed cmd=command script import /nonexistent/konan_lldb.py\n"),
              std::string::npos)
        << err;
}

}  // namespace
