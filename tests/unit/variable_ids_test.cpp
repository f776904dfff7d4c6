#include "variable_ids.h"

#include <gtest/gtest.h>

#include "sbvalue_to_variable.h"

using namespace lldb_debug;

namespace {

struct Parsed {
    bool ok = false;
    uint32_t t = 0, f = 0, v = 0;
    std::vector<int32_t> path;
    std::string name;
};

Parsed Parse(const std::string& text) {
    Parsed p;
    p.ok = ParseVariableId(text, {&p.t, &p.f, &p.v, &p.path, &p.name});
    return p;
}

TEST(VariableIds, Building) {
    EXPECT_EQ(MakeVariableId(0, 0, 3, {}, ""), "T0F0V3");
    EXPECT_EQ(MakeVariableId(0, 0, 3, {}, "ab"), "T0F0V3#2:6162");
    EXPECT_EQ(MakeVariableId(0, 0, 3, {1, 0}, ""), "T0F0V3C1.0");
    EXPECT_EQ(MakeVariableId(1, 2, 0, {4, 0, 2}, "x"), "T1F2V0#1:78C4.0.2");
}

TEST(VariableIds, ParsingTable) {
    const struct {
        const char* text;
        bool ok;
        uint32_t t, f, v;
        std::vector<int32_t> path;
        std::string name;
    } table[] = {
        {"T1F2V3", true, 1, 2, 3, {}, ""},
        {"T1F2V3#2:6162C1.0", true, 1, 2, 3, {1, 0}, "ab"},
        {"T1F2V3#2:6A6bC", true, 1, 2, 3, {}, "jk"},
        {"T1xF2V3", true, 1, 2, 3, {}, ""},
        {"T1F2V3C", true, 1, 2, 3, {}, ""},
        {"T1F2V3C1..2", true, 1, 2, 3, {1, 0, 2}, ""},
        {"T1F2V3C1.2.", true, 1, 2, 3, {1, 2}, ""},
        {"T1F2V3X9", true, 1, 2, 3, {}, ""},
        {"T1F2", false, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, {}, ""},
        {"F1V2", false, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, {}, ""},
        {"T", false, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF, {}, ""},
        {"T1F2V3#3:6162", false, 1, 2, 3, {}, ""},
        {"T1F2V3#2;6162", false, 1, 2, 3, {}, ""},
        {"T1F2V3#2:zz00", false, 1, 2, 3, {}, ""},
        {"T1F2V3#65537:", false, 1, 2, 3, {}, ""},
        {"T1F2V3#99999999999999999999:00", false, 1, 2, 3, {}, ""},
    };
    for (const auto& c : table) {
        const Parsed p = Parse(c.text);
        EXPECT_EQ(p.ok, c.ok) << c.text;
        EXPECT_EQ(p.t, c.t) << c.text;
        EXPECT_EQ(p.f, c.f) << c.text;
        EXPECT_EQ(p.v, c.v) << c.text;
        EXPECT_EQ(p.path, c.path) << c.text;
        EXPECT_EQ(p.name, c.name) << c.text;
    }
}

TEST(VariableIds, RoundTripKeepsEveryNameByte) {
    std::string allBytes;
    for (int b = 255; b >= 0; --b) allBytes += static_cast<char>(b);
    const std::vector<std::string> names = {"x", "Grüße", allBytes, std::string(1, '\0'), "C#1:F.V"};
    for (const std::string& name : names) {
        const std::string id = MakeVariableId(7, 3, 1024, {0, 12, 5}, name);
        const Parsed p = Parse(id);
        ASSERT_TRUE(p.ok) << id;
        EXPECT_EQ(p.t, 7u);
        EXPECT_EQ(p.f, 3u);
        EXPECT_EQ(p.v, 1024u);
        EXPECT_EQ(p.path, (std::vector<int32_t>{0, 12, 5}));
        EXPECT_EQ(p.name, name);
    }
}

TEST(Slices, ClampWithoutOverflow) {
    const struct {
        size_t total;
        int64_t start, count;
        size_t first, end;
    } table[] = {
        {12, 5, 10, 5, 12}, {12, 12, 10, 0, 0}, {12, 0, 0, 0, 0},        {12, 1, 2147483647, 1, 12},
        {3, 2, 2, 2, 3},    {3, -1, 2, 0, 0},   {3, 2147483647, 2147483647, 0, 0},
    };
    for (const auto& c : table) {
        const SliceBounds s = ClampSlice(c.total, c.start, c.count);
        EXPECT_EQ(s.end - s.first, c.end - c.first) << c.total << " " << c.start << " " << c.count;
        if (c.end > c.first) {
            EXPECT_EQ(s.first, c.first);
        }
    }
}

TEST(Filters, HiddenRows) {
    const struct {
        const char* name;
        const char* value;
        bool hidden;
    } table[] = {
        {"$1", "1", true},          {"_this", "0x1", true},      {"", "1", true},
        {nullptr, "1", true},       {"x", "<not available>", true}, {"x", "uninitialized", true},
        {"this", "0x1", false},     {"x", nullptr, false},       {"_this2", "1", false},
    };
    for (const auto& c : table) EXPECT_EQ(ShouldSkipVariableForUI(c.name, c.value), c.hidden) << (c.name ? c.name : "null");
}

TEST(Filters, SourceOrder) {
    const struct {
        uint32_t stopLine, stopColumn, declLine, declColumn;
        bool otherFile;
        bool reached;
    } table[] = {
        {10, 5, 8, 1, false, true},  {10, 5, 9, 5, false, true},  {10, 5, 9, 6, false, false},
        {10, 5, 10, 1, false, false}, {10, 0, 9, 40, false, true}, {10, 5, 30, 1, true, true},
        {1, 3, 1, 1, false, true},   {1, 3, 1, 4, false, false},  {10, 5, 0, 0, false, true},
        {0, 0, 5, 0, false, true},
    };
    for (const auto& c : table) {
        SourceOrderInputs in;
        in.lineEntryValid = in.declarationValid = true;
        in.stopLine = c.stopLine;
        in.stopColumn = c.stopColumn;
        in.declLine = c.declLine;
        in.declColumn = c.declColumn;
        in.bothFilesValidAndDiffer = c.otherFile;
        EXPECT_EQ(DeclarationReachedBySourceOrder(in), c.reached) << c.stopLine << ":" << c.stopColumn << " decl "
                                                                  << c.declLine << ":" << c.declColumn;
    }
    SourceOrderInputs noEntry;
    noEntry.declarationValid = true;
    noEntry.declLine = 99;
    noEntry.stopLine = 2;
    EXPECT_TRUE(DeclarationReachedBySourceOrder(noEntry));
}

TEST(Filters, ValueTypeMapping) {
    const ValueType expected[] = {ValueType::Invalid, ValueType::Global,        ValueType::Static,
                                  ValueType::Argument, ValueType::Local,       ValueType::RegisterValue,
                                  ValueType::Invalid, ValueType::ConstResult,   ValueType::Local,
                                  ValueType::Invalid};
    for (int i = 0; i < 10; ++i) EXPECT_EQ(ValueTypeFromLldb(i), expected[i]) << i;
    EXPECT_EQ(ValueTypeFromLldb(-1), ValueType::Invalid);
}

}  // namespace
