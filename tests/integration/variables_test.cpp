// Variables, children, evaluation, memory and registers against a debuggee that
// lays Kotlin/Native objects out in memory, with a stand-in formatter script.
#include <cstdlib>
#include <map>

#include "engine_fixture.h"
#include "variable_ids.h"

using namespace lldb_debug;
using nativescope_testing::AttachedEngine;

namespace {

// The fixture stops on its worker thread: frame 1 of the selected thread holds the locals.
constexpr int32_t kLocalsFrame = 1;

struct StoppedFixture {
    AttachedEngine s{"kotlin_objects"};
    DebugEngine& engine() { return *s.engine; }

    // Stops in `function` by running the interpreter synchronously for one continue,
    // so the test does not depend on the event pump.
    bool StopIn(const std::string& function) {
        if (!s.attached()) return false;
        std::string out;
        if (!engine().ImportKotlinScript(s.paths.fixtureDir + "/kotlin_formatter.py", &out)) return false;
        return engine().HandleInterpreterCommand("breakpoint set -n " + function, &out) &&
               engine().HandleInterpreterCommand("script lldb.debugger.SetAsync(False)", &out) &&
               engine().HandleInterpreterCommand("process continue", &out) &&
               engine().HandleInterpreterCommand("script lldb.debugger.SetAsync(True)", &out) &&
               engine().HandleInterpreterCommand("breakpoint delete -f", &out);
    }

    std::map<std::string, Variable> Locals() {
        std::map<std::string, Variable> byName;
        for (Variable& v : engine().GetVariables(0, kLocalsFrame)) byName[v.name] = v;
        return byName;
    }
};

// One stopped debuggee shared by the tests of this file (attaching is the slow part).
class Variables : public ::testing::Test {
public:
    static void SetUpTestSuite() {
        shared = new StoppedFixture;
        if (!shared->StopIn("stop_here")) ADD_FAILURE() << "could not stop in stop_here";
    }
    static void TearDownTestSuite() {
        delete shared;
        shared = nullptr;
    }
    static StoppedFixture* shared;
};
StoppedFixture* Variables::shared = nullptr;
using Evaluation = Variables;
using MachineViews = Variables;

StoppedFixture& Stopped() { return *Variables::shared; }

std::vector<std::string> Names(const std::vector<Variable>& vars) {
    std::vector<std::string> names;
    for (const Variable& v : vars) names.push_back(v.name);
    return names;
}

TEST_F(Variables, KotlinObjectsShowRuntimeClassAndKotlinValues) {
    auto locals = Stopped().Locals();
    ASSERT_FALSE(locals.empty());
    EXPECT_EQ(locals.count("$hidden"), 0u);
    EXPECT_EQ(locals.count("_this"), 0u);
    struct Row {
        const char* name;
        const char* type;
        const char* value;  // nullptr: not checked
        bool hasChildren;
        VariableCategory category;
    };
    const Row table[] = {
        {"point", "com.example.Point", "Point(x=3, y=-4, label=...)", true, VariableCategory::UserType},
        {"list", "kotlin.collections.ArrayList", "ArrayList(size=3, first=...)", true, VariableCategory::Array},
        {"emptyList", "kotlin.collections.EmptyList", "EmptyList()", false, VariableCategory::List},
        {"boxedInt", "kotlin.Int", "42", false, VariableCategory::Primitive},
        {"any", "kotlin.Any", "Any()", true, VariableCategory::Other},
        {"mystery", "com.example.Mystery", nullptr, true, VariableCategory::UserType},
        {"hello", "kotlin.String", "\"Hello\"", false, VariableCategory::String},
        {"greeting", "kotlin.String", "\"Grüß 😀\"", false, VariableCategory::String},
        {"legacy", "kotlin.String", "\"Legacy\"", false, VariableCategory::String},
        {"nothing", "ObjHeader *", "null", false, VariableCategory::NullPointer},
        {"flag", "bool", "true", false, VariableCategory::Primitive},
        {"unsignedByte", "unsigned char", "'A'", false, VariableCategory::Primitive},
        {"myChar", "int16_t", "'a' 97", false, VariableCategory::Other},
    };
    for (const Row& row : table) {
        ASSERT_EQ(locals.count(row.name), 1u) << row.name;
        const Variable& v = locals[row.name];
        EXPECT_EQ(v.type, row.type) << row.name;
        if (row.value != nullptr) {
            EXPECT_EQ(v.value, row.value) << row.name;
        }
        EXPECT_EQ(v.hasChildren, row.hasChildren) << row.name;
        EXPECT_EQ(v.category, row.category) << row.name;
        EXPECT_EQ(v.valueType, ValueType::Local) << row.name;
        EXPECT_EQ(v.variableId.rfind("T0F1V", 0), 0u) << v.variableId;
    }
}

TEST_F(Variables, PagesSliceTheFilteredListAndReuseIt) {
    DebugEngine& engine = Stopped().engine();
    const auto all = engine.GetVariablesPage(0, kLocalsFrame, 0, 1000);
    ASSERT_GT(all.totalFiltered, 12);
    ASSERT_EQ(static_cast<int32_t>(all.variables.size()), all.totalFiltered);
    const struct {
        int32_t offset, count;
        int32_t first;  // index into the full list, -1: empty page
        int32_t size;
    } table[] = {
        {5, 3, 5, 3}, {-3, 2, 0, 2}, {1, 2147483647, 1, all.totalFiltered - 1}, {all.totalFiltered, 5, -1, 0},
        {0, 0, -1, 0},
    };
    for (const auto& c : table) {
        engine.ClearFrameVariablesPageCache();
        const auto page = engine.GetVariablesPage(0, kLocalsFrame, c.offset, c.count);
        EXPECT_EQ(page.totalFiltered, all.totalFiltered);
        ASSERT_EQ(static_cast<int32_t>(page.variables.size()), c.size) << c.offset << "," << c.count;
        for (int32_t i = 0; i < c.size; ++i) EXPECT_EQ(page.variables[i].variableId, all.variables[c.first + i].variableId);
    }
    // A cache hit gives the same page as a fresh filtering.
    const auto again = engine.GetVariablesPage(0, kLocalsFrame, 2, 4);
    engine.ClearFrameVariablesPageCache();
    const auto fresh = engine.GetVariablesPage(0, kLocalsFrame, 2, 4);
    EXPECT_EQ(Names(again.variables), Names(fresh.variables));
    EXPECT_TRUE(engine.GetVariablesPage(0, 99, 0, 10).variables.empty());
}

TEST_F(Variables, ObjectExpansionListsFieldsOrTheObjectItself) {
    auto locals = Stopped().Locals();
    DebugEngine& engine = Stopped().engine();
    const auto fields = engine.GetVariableChildren(locals["point"].variableId);
    ASSERT_EQ(Names(fields), (std::vector<std::string>{"x", "y", "label"}));
    const std::string base = locals["point"].variableId;
    for (size_t i = 0; i < fields.size(); ++i) EXPECT_EQ(fields[i].variableId, base + "C0." + std::to_string(i));
    EXPECT_EQ(fields[0].value, "3");
    EXPECT_EQ(fields[1].value, "-4");
    EXPECT_EQ(fields[2].type, "kotlin.String");
    EXPECT_EQ(fields[2].value, "\"origin\"");
    EXPECT_FALSE(fields[2].hasChildren);

    // A nested object: list.first is a boxed Int, expanded through its own id.
    const auto listFields = engine.GetVariableChildren(locals["list"].variableId);
    ASSERT_EQ(Names(listFields), (std::vector<std::string>{"size", "first"}));
    EXPECT_EQ(listFields[1].type, "kotlin.Int");
    EXPECT_EQ(Names(engine.GetVariableChildren(listFields[1].variableId)), (std::vector<std::string>{"value"}));

    const auto self = engine.GetVariableChildren(locals["any"].variableId);
    ASSERT_EQ(self.size(), 1u);
    EXPECT_EQ(self[0].name, "**any") << "LLDB names the dereferenced object *any";
    EXPECT_EQ(self[0].variableId, locals["any"].variableId + "C0");

    EXPECT_TRUE(engine.GetVariableChildren("T0F1V999").empty());
    EXPECT_TRUE(engine.GetVariableChildren("garbage").empty());
}

TEST_F(Variables, ChildIdOfThreadZeroFollowsTheSelectedThread) {
    // The worker thread is selected but is not at position 0: a page with T0 lists
    // its frame, so the ids it hands out must lead back to the same frame.
    auto locals = Stopped().Locals();
    const std::string id = locals["point"].variableId;
    ASSERT_EQ(id.rfind("T0F1", 0), 0u);
    EXPECT_EQ(Stopped().engine().GetVariableChildren(id).size(), 3u);
}

TEST_F(Variables, RootNameRebindsAMovedVariable) {
    auto locals = Stopped().Locals();
    uint32_t t = 0, f = 0, v = 0;
    std::vector<int32_t> path;
    std::string name;
    ASSERT_TRUE(ParseVariableId(locals["point"].variableId, {&t, &f, &v, &path, &name}));
    const std::string moved = MakeVariableId(0, kLocalsFrame, static_cast<int32_t>(v + 1), {}, "point");
    EXPECT_EQ(Names(Stopped().engine().GetVariableChildren(moved)), (std::vector<std::string>{"x", "y", "label"}));
    const std::string unnamed = MakeVariableId(0, kLocalsFrame, static_cast<int32_t>(v + 1), {}, "");
    EXPECT_NE(Names(Stopped().engine().GetVariableChildren(unnamed)), (std::vector<std::string>{"x", "y", "label"}));
}

TEST_F(Variables, RangesEqualSlicesOfTheFullList) {
    auto locals = Stopped().Locals();
    DebugEngine& engine = Stopped().engine();
    const std::string big = locals["big"].variableId;
    const auto all = engine.GetVariableChildren(big);
    ASSERT_EQ(all.size(), 10000u);
    EXPECT_EQ(all[9999].value, "9999");
    const struct {
        int32_t start, count;
        size_t first, size;
    } table[] = {{9900, 100, 9900, 100}, {0, 100, 0, 100}, {9998, 5, 9998, 2}, {10000, 1, 0, 0},
                 {-1, 5, 0, 0},          {5, 0, 0, 0},     {2147483647, 2147483647, 0, 0}};
    for (const auto& c : table) {
        const auto range = engine.GetVariableChildrenRange(big, c.start, c.count);
        ASSERT_EQ(range.size(), c.size) << c.start << "," << c.count;
        for (size_t i = 0; i < c.size; ++i) {
            EXPECT_EQ(range[i].variableId, all[c.first + i].variableId);
            EXPECT_EQ(range[i].value, all[c.first + i].value);
        }
    }
    EXPECT_EQ(Names(engine.GetVariableChildrenRange(locals["point"].variableId, 2, 2)),
              (std::vector<std::string>{"label"}));
    EXPECT_EQ(Names(engine.GetVariableChildrenRange(locals["any"].variableId, 0, 5)),
              (std::vector<std::string>{"**any"}));
}

TEST_F(Variables, ChildrenByDottedPath) {
    DebugEngine& engine = Stopped().engine();
    EXPECT_EQ(Names(engine.GetChildVariablesByPath(0, kLocalsFrame, "point")),
              (std::vector<std::string>{"x", "y", "label"}));
    EXPECT_EQ(Names(engine.GetChildVariablesByPath(0, kLocalsFrame, " .list.first")),
              (std::vector<std::string>{"value"}));
    EXPECT_TRUE(engine.GetChildVariablesByPath(0, kLocalsFrame, "point.nope").empty());
    EXPECT_TRUE(engine.GetChildVariablesByPath(0, kLocalsFrame, "").empty());
}

TEST_F(Variables, AFrameWithOverAThousandLocals) {
    StoppedFixture many;
    ASSERT_TRUE(many.StopIn("stop_many"));
    const auto page = many.engine().GetVariablesPage(0, kLocalsFrame, 1000, 50);
    EXPECT_EQ(page.totalFiltered, 1100);
    ASSERT_EQ(page.variables.size(), 50u);
    EXPECT_EQ(page.variables[0].name, "v1100");
    EXPECT_EQ(page.variables[0].value, "1100");
}

TEST_F(Variables, SwitchesChangeTypeResolutionAndLogIt) {
    const struct {
        const char* name;
        const char* value;
        const char* type;      // of the local `point`
        const char* logLine;   // expected on standard error, "" for none
    } table[] = {
        {"LLDB_KOTLIN_RUNTIME_TYPE", "0", "ObjHeader *", ""},
        {"LLDB_KOTLIN_MEMORY_FQCN", "0", "com.example.Point", ""},  // then Konan_DebugGetTypeName names it
        {"LLDB_DEBUG_KOTLIN_TYPE_RESOLVE", "1", "com.example.Point", "  -> chosen=com.example.Point ("},
        {"LLDB_DEBUG_SBVALUE_TO_VAR_TIMING", "1", "com.example.Point",
         "kotlinRuntimePath=memory_fqcn_direct_typeinfo"},
    };
    for (const auto& c : table) {
        setenv(c.name, c.value, 1);
        testing::internal::CaptureStderr();
        auto locals = Stopped().Locals();
        const std::string err = testing::internal::GetCapturedStderr();
        unsetenv(c.name);
        EXPECT_EQ(locals["point"].type, c.type) << c.name;
        EXPECT_EQ(locals["list"].type, std::string(c.type) == "ObjHeader *" ? "ObjHeader *" : "kotlin.collections.ArrayList")
            << c.name;
        if (c.logLine[0] != '\0') {
            EXPECT_NE(err.find(c.logLine), std::string::npos) << c.name << "\n" << err.substr(0, 2000);
        }
    }
}

TEST_F(Evaluation, ResultsAndErrors) {
    DebugEngine& engine = Stopped().engine();
    const EvalResult two = engine.Evaluate(0, kLocalsFrame, "1+1");
    ASSERT_TRUE(two.success) << two.error;
    EXPECT_EQ(two.result.value, "2");
    EXPECT_EQ(two.result.valueType, ValueType::ConstResult);
    EXPECT_EQ(two.result.name.rfind("$", 0), 0u) << two.result.name;
    const EvalResult x = engine.Evaluate(0, kLocalsFrame, "point");
    ASSERT_TRUE(x.success) << x.error;
    EXPECT_EQ(x.result.type, "com.example.Point");
    const EvalResult bad = engine.Evaluate(0, kLocalsFrame, "no_such_identifier");
    EXPECT_FALSE(bad.success);
    EXPECT_NE(bad.error.find("no_such_identifier"), std::string::npos) << bad.error;
    EXPECT_EQ(engine.Evaluate(0, 999, "1").error, "invalid frame");
    EXPECT_EQ(DebugEngine().Evaluate(0, 0, "1").error, "no process");
}

TEST_F(MachineViews, MemoryAndRegisters) {
    auto locals = Stopped().Locals();
    DebugEngine& engine = Stopped().engine();
    uint64_t point = std::strtoull(Stopped().engine().Evaluate(0, kLocalsFrame, "(unsigned long)point").result.value.c_str(),
                                   nullptr, 0);
    ASSERT_NE(point, 0u);
    const MemoryBlock block = engine.ReadMemory(point + 8, 8);
    ASSERT_EQ(block.bytesRead, 8u) << block.error;
    EXPECT_EQ(block.data, (std::vector<uint8_t>{3, 0, 0, 0, 0xFC, 0xFF, 0xFF, 0xFF}));  // x = 3, y = -4
    const MemoryBlock zero = engine.ReadMemory(0, 16);
    EXPECT_TRUE(zero.data.empty());
    EXPECT_EQ(zero.bytesRead, 0u);
    EXPECT_FALSE(zero.error.empty());
    EXPECT_TRUE(engine.ReadMemory(point, 0).data.empty());
    const MemoryBlock huge = engine.ReadMemory(point, 1ull << 40);
    EXPECT_TRUE(huge.data.empty());
    EXPECT_NE(huge.error.find("exceeds"), std::string::npos) << huge.error;
    EXPECT_EQ(DebugEngine().ReadMemory(1, 1).error, "no process");

    const auto sets = engine.GetRegisterSets(0, 0);
    ASSERT_FALSE(sets.empty());
    bool sawPc = false;
    for (const Register& r : sets[0].registers) {
        EXPECT_EQ(r.setName, sets[0].name);
        if (r.name == "rip") sawPc = !r.value.empty() && r.byteSize == 8;
    }
    EXPECT_TRUE(sawPc);
    EXPECT_TRUE(engine.GetRegisterSets(0, 999).empty());
    EXPECT_TRUE(engine.GetRegisterSets(99, 0).empty());
}

}  // namespace
