#include "display_formatting.h"

#include <gtest/gtest.h>

using namespace lldb_debug;

namespace {

const char* const kNull = nullptr;

struct DisplayCase {
    const char* type;
    const char* value;
    const char* summary;
    const char* parent;
    const char* name;
    const char* shown;
};

// Runs FormatDisplayValueWith with an object-header step that records its input.
std::string Show(const DisplayCase& c, std::string* evaluated = nullptr) {
    FormatDisplayValueParams p;
    p.typeName = c.type;
    p.value = c.value;
    p.summary = c.summary;
    p.parentTypeName = c.parent;
    p.name = c.name;
    return FormatDisplayValueWith(p, [evaluated](const char*, const char* value) {
        if (evaluated != nullptr) *evaluated = value != nullptr ? value : "(null)";
        return std::string();
    });
}

TEST(DisplayValue, KotlinScalarsAndSummaries) {
    const DisplayCase table[] = {
        {"bool", "'\\x01'", "", "", "flag", "true"},
        {"bool", "'\\0'", "", "", "flag", "false"},
        {"kotlin.Boolean", "1", kNull, "", "b", "true"},
        {"bool", "0 ", kNull, "", "b", "false"},
        {"bool", "2", kNull, "", "b", "2"},
        {"unsigned char", "'\\x01'", "", "v kotlin.Boolean", "value", "true"},
        {"unsigned char", "'A'", "", "", "u", "'A' 65"},
        {"unsigned char", "'A'", kNull, "", "u", "'A'"},  // null summary: steps 2 and 3 see nothing
        {"kotlin.Byte", "'\\xff'", "", "", "b", "-1"},
        {"int8_t", "'\\x7f'", "", "", "b", "127"},
        {"short", "97", "", "", "myChar", "'a' 97"},
        {"short", "97", "", "", "count", "97"},
        {"kotlin.Char", "70000", "", "", "c", "70000"},
        {"kotlin.Char", "-1", "", "", "c", "-1"},
        {"kotlin.Char", kNull, "'A'", "", "c", "'A'"},  // null value: the walk stops before the summary
        {"kotlin.Char", "", "{bool} x", "", "c", "{bool} x"},
        {"uint16_t", "9786", "", "", "myChar", "9786"},  // only short/int16_t borrow the name rule
        {"char", "'\\''", "", "", "c", "'\\'' 39"},
        {"int", "5", "five", "", "n", "five"},
        {"int", "5", kNull, "", "n", "5"},
        {"int", kNull, kNull, "", "n", ""},
    };
    for (const DisplayCase& c : table) {
        EXPECT_EQ(Show(c), c.shown) << c.type << " / " << (c.value ? c.value : "null") << " / "
                                    << (c.summary ? c.summary : "null");
    }
}

TEST(DisplayValue, ObjectHeaderSummaryIsAskedOnlyForPointerTexts) {
    const struct {
        const char* type;
        const char* value;
        bool asks;
    } table[] = {
        {"int *", "0x0", true},
        {"int *", "0X10", false},
        {"struct ObjHeader *", "12", true},
        {"struct ObjHeader *", "0x1000", true},
        {"long", "16", false},
    };
    for (const auto& c : table) {
        std::string evaluated;
        EXPECT_EQ(Show({c.type, c.value, "", "", "p", c.value}, &evaluated), c.value);
        EXPECT_EQ(!evaluated.empty(), c.asks) << c.type << " " << c.value;
    }
    FormatDisplayValueParams p;
    p.typeName = "struct ObjHeader *";
    p.value = "0x1000";
    EXPECT_EQ(FormatDisplayValueWith(p, [](const char*, const char*) { return std::string("Point(x=1)"); }),
              "Point(x=1)");
}

TEST(QuotedBytes, LldbCharacterNotation) {
    const struct {
        const char* text;
        int byte;  // -1: fails
    } table[] = {
        {"'A'", 65},       {" \t'A'", 65},  {"'\\101'", 65}, {"'\\x4'", 4},    {"'\\xff'", 255}, {"'\\''", 39},
        {"'\\\\'", 92},    {"'\\n'", 10},   {"'\\0'", 0},    {"'\\777'", 255}, {"'A' rest", 65}, {"'\\q'", -1},
        {"''", -1},        {"'ab", -1},     {"'ab'", -1},    {"A", -1},        {"'", -1},        {"'\\x'", -1},
    };
    for (const auto& c : table) {
        uint8_t out = 0;
        const bool ok = ParseLldbQuotedByte(c.text, &out);
        EXPECT_EQ(ok, c.byte >= 0) << c.text;
        if (ok) {
            EXPECT_EQ(out, c.byte) << c.text;
        }
    }
    uint8_t out = 0;
    EXPECT_FALSE(ParseLldbQuotedByte(nullptr, &out));
}

TEST(QuotedBytes, BooleanAndCharDisplay) {
    EXPECT_EQ(FormatBooleanChar("'\\x00 junk'", "", "bool"), "false");
    EXPECT_EQ(FormatBooleanChar("'0'", "", "bool"), "true") << "the character 0, not the byte 0";
    EXPECT_EQ(FormatBooleanChar("'yes'", "", "bool"), "true");
    EXPECT_EQ(FormatBooleanChar("'\\x01'", "", "int"), "");
    const std::pair<uint16_t, const char*> chars[] = {
        {65, "'A' 65"}, {10, "'\\x0a' 10"}, {39, "'\\'' 39"}, {92, "'\\\\' 92"}, {0x263A, "'\\u263a' 9786"},
        {0x7F, "'\\x7f' 127"}, {0xE9, "'\\xe9' 233"},
    };
    for (const auto& [unit, text] : chars) EXPECT_EQ(KotlinCharDisplayFromCodeUnit(unit), text);
}

TEST(TypePredicates, NeverExpandEmptyListAndNullPointers) {
    for (const char* t : {"kotlin.Int?", "kotlin.ULong??", "unsigned long long", "Bool", "kotlin.UByte"}) {
        EXPECT_TRUE(KotlinBoxedScalarNeverExpand(t)) << t;
    }
    for (const char* t : {"kotlin.Integer", "", "kotlin.String", "int *"}) EXPECT_FALSE(KotlinBoxedScalarNeverExpand(t)) << t;
    EXPECT_TRUE(IsKotlinEmptySingletonCollectionType("kotlin.collections.EmptyList"));
    EXPECT_FALSE(IsKotlinEmptySingletonCollectionType("kotlin.collections.EmptySet"));
    for (const char* v : {"0x", "0x0", "0X0000000000000000"}) EXPECT_TRUE(IsNullPointerValue(v)) << v;
    for (const char* v : {"0x10", "0", "", "0x0 "}) EXPECT_FALSE(IsNullPointerValue(v)) << v;
    EXPECT_TRUE(TypeLooksKotlinByte("signed char"));
    EXPECT_FALSE(TypeLooksKotlinByte("bytes"));
    EXPECT_TRUE(TypeLowerEndsWith("abc", ""));
}

TEST(Categories, FirstMatchingRowDecides) {
    using C = VariableCategory;
    const struct {
        const char* type;
        const char* value;
        C category;
    } table[] = {
        {"kotlin.collections.ArrayList", "0x1", C::Array},
        {"kotlin.Array<kotlin.String>", nullptr, C::String},
        {"kotlin.collections.HashMap", nullptr, C::Map},
        {"kotlin.collections.LinkedHashSet", nullptr, C::Set},
        {"kotlin.collections.EmptyList", nullptr, C::List},
        {"kotlin.sequences.Sequence", nullptr, C::Sequence},
        {"struct ObjHeader *", "Sequence of 3", C::Sequence},
        {"kotlin.Pair", nullptr, C::Tuple},
        {"kotlin.ranges.IntRange", nullptr, C::Range},
        {"kotlin.Result", nullptr, C::Result},
        {"com.example.Result", nullptr, C::UserType},
        {"kotlin.Enum", nullptr, C::Enum},
        {"kotlin.Function1", nullptr, C::Function},
        {"kotlin.IllegalStateException", nullptr, C::Throwable},
        {"kotlin.Lazy", nullptr, C::Lazy},
        {"kotlin.Unit", nullptr, C::Unit},
        {"kotlin.text.Regex", nullptr, C::Regex},
        {"kotlin.Int", nullptr, C::Primitive},
        {"unsigned char", "'A'", C::Primitive},
        {"kotlin.Any", nullptr, C::Other},
        {"com.example.Foo", nullptr, C::UserType},
        {"Foo", nullptr, C::Other},
        {"int", "0x0000", C::NullPointer},
        {"struct ObjHeader *", "0x", C::Other},
        {"", "0x0", C::Other},
    };
    for (const auto& c : table) EXPECT_EQ(VariableCategoryFromTypeName(c.type, c.value), c.category) << c.type;
}

}  // namespace
