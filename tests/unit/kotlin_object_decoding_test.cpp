#include "kotlin_object_decoding.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <map>

using namespace lldb_debug;

namespace {

// Sparse little-endian target memory; unwritten bytes are unmapped. Counts the
// bytes asked for so tests can see that nothing huge is requested.
class FakeMemory {
public:
    explicit FakeMemory(uint32_t bs = 8) : bs_(bs) {}

    void Bytes(uint64_t address, const std::vector<uint8_t>& bytes) {
        for (size_t i = 0; i < bytes.size(); ++i) mem_[address + i] = bytes[i];
    }
    void Word(uint64_t address, uint64_t value, uint32_t width = 0) {
        const uint32_t w = width ? width : bs_;
        for (uint32_t i = 0; i < w; ++i) mem_[address + i] = static_cast<uint8_t>(value >> (8 * i));
    }
    // A current-layout string object: count, flags, payload at P.
    void String(uint64_t address, uint32_t count, uint16_t flags, const std::vector<uint8_t>& payload) {
        Word(address + bs_, count, 4);
        Word(address + bs_ + 8, flags, 2);
        Bytes(address + ((bs_ + 11) & ~1u), payload);
    }
    void AsciiString(uint64_t address, const std::string& text) {
        // 64-bit: the payload holds 2*count - 2 bytes, minus one when flag bit 1 is set.
        const bool odd = text.size() % 2 == 1;
        const uint32_t count = static_cast<uint32_t>((text.size() + 2 + (odd ? 1 : 0)) / 2);
        String(address, count, static_cast<uint16_t>(0x1000 | (odd ? 2 : 0)), {text.begin(), text.end()});
    }

    TargetMemory View() {
        TargetMemory m;
        m.addressByteSize = bs_;
        m.read = [this](uint64_t address, void* buffer, size_t size) {
            largestRead = std::max(largestRead, size);
            auto* out = static_cast<uint8_t*>(buffer);
            for (size_t i = 0; i < size; ++i) {
                auto it = mem_.find(address + i);
                if (it == mem_.end()) return false;
                out[i] = it->second;
            }
            return true;
        };
        return m;
    }

    size_t largestRead = 0;

private:
    uint32_t bs_;
    std::map<uint64_t, uint8_t> mem_;
};

std::string Utf8(const std::vector<uint8_t>& bytes) { return std::string(bytes.begin(), bytes.end()); }

TEST(TargetWords, LittleEndianOfTheTargetWidth) {
    for (uint32_t bs : {1u, 4u, 8u}) {
        FakeMemory mem(bs);
        mem.Bytes(0x100, {0x11, 0x22, 0x33, 0x44, 0x55, 0x66, 0x77, 0x88});
        uint64_t out = 0;
        ASSERT_TRUE(ReadTargetWordLe(mem.View(), 0x100, &out));
        EXPECT_EQ(out, 0x8877665544332211ull & (bs == 8 ? ~0ull : ((1ull << (8 * bs)) - 1))) << bs;
        EXPECT_FALSE(ReadTargetWordLe(mem.View(), 0, &out)) << "address 0 is never read";
    }
    FakeMemory wide(9);
    uint64_t out = 0;
    EXPECT_FALSE(ReadTargetWordLe(wide.View(), 0x100, &out));
}

TEST(TypeInfo, DirectMetaAndBrokenHeaders) {
    FakeMemory mem;
    const uint64_t ti = 0x1000, meta = 0x2000, obj = 0x3000;
    mem.Word(ti, ti | 1);  // tag bits on the self-pointer are ignored
    mem.Word(meta, ti | 2);
    mem.Word(0x4000, 0x5000);  // a block that points elsewhere (no self-pointer)
    mem.Word(0x5000, 0x6000);
    mem.Word(0x6000, 0x7000);
    struct Case {
        uint64_t header;
        bool ok;
        int kind;
    };
    const Case table[] = {
        {ti | 3, true, 0}, {meta | 1, true, 1}, {0, false, -1}, {3, false, -1},
        {0x4000, false, -1},  // meta-like block whose target has no self-pointer
        {0x8000, false, -1},  // unmapped
    };
    for (const Case& c : table) {
        mem.Word(obj, c.header);
        uint64_t found = 0;
        int kind = -1;
        EXPECT_EQ(KonanResolveTypeinfoForObject(mem.View(), obj, &found, &kind), c.ok) << std::hex << c.header;
        EXPECT_EQ(kind, c.kind) << std::hex << c.header;
        if (c.ok) {
            EXPECT_EQ(found, ti);
        }
    }
    FakeMemory zeroMeta;
    zeroMeta.Word(0x2000, 0);
    zeroMeta.Word(0x3000, 0x2000);
    EXPECT_FALSE(KonanResolveTypeinfoForObject(zeroMeta.View(), 0x3000, nullptr, nullptr));
}

class RuntimeTypeName : public ::testing::Test {
protected:
    void SetUp() override {
        unsetenv("KONAN_TI_OFFSET_PACKAGE_NAME");
        unsetenv("KONAN_TI_OFFSET_RELATIVE_NAME");
        unsetenv("LLDB_KOTLIN_MEMORY_FQCN");
        mem.Word(ti, ti);
        mem.Word(obj, ti);
        mem.AsciiString(pkg, "kotlin.collections");
        mem.AsciiString(rel, "ArrayList");
    }
    void TearDown() override { SetUp(); }
    void Names(uint64_t package, uint64_t relative, uint64_t at = 72) {
        mem.Word(ti + at, package);
        mem.Word(ti + at + 8, relative);
    }
    std::string Read(int* kind = nullptr) { return TryKonanRuntimeTypeNameFromMemory(mem.View(), obj, kind); }

    FakeMemory mem;
    const uint64_t ti = 0x1000, obj = 0x3000, pkg = 0x4000, rel = 0x5000;
};

TEST_F(RuntimeTypeName, JoinsPackageAndRelativeName) {
    const struct {
        uint64_t package, relative;
        const char* name;
    } table[] = {
        {pkg, rel, "kotlin.collections.ArrayList"},
        {0, rel, "ArrayList"},
        {pkg, 0, "kotlin.collections"},
        {0, 0, ""},
    };
    for (const auto& c : table) {
        Names(c.package, c.relative);
        int kind = -1;
        EXPECT_EQ(Read(&kind), c.name);
        EXPECT_EQ(kind, 0);
    }
}

TEST_F(RuntimeTypeName, OffsetsComeFromTheEnvironmentAtEveryUse) {
    Names(pkg, rel, 0x40);
    setenv("KONAN_TI_OFFSET_PACKAGE_NAME", "0x40", 1);
    setenv("KONAN_TI_OFFSET_RELATIVE_NAME", "72", 1);
    EXPECT_EQ(Read(), "kotlin.collections.ArrayList");
    // Text that is no number reads offset 0: the self-pointer is no string object.
    setenv("KONAN_TI_OFFSET_RELATIVE_NAME", "abc", 1);
    EXPECT_EQ(Read(), "kotlin.collections");
    // An offset that wraps the address space is refused, not read somewhere else.
    setenv("KONAN_TI_OFFSET_PACKAGE_NAME", "0xffffffffffffffff", 1);
    EXPECT_EQ(Read(), "");
}

TEST_F(RuntimeTypeName, SwitchedOffOr32BitGivesNothing) {
    Names(pkg, rel);
    setenv("LLDB_KOTLIN_MEMORY_FQCN", "0", 1);
    int kind = 7;
    EXPECT_EQ(Read(&kind), "");
    EXPECT_EQ(kind, 7) << "kind untouched when nothing was looked up";
    unsetenv("LLDB_KOTLIN_MEMORY_FQCN");
    FakeMemory narrow(4);
    narrow.Word(0x1000, 0x1000);
    narrow.Word(0x3000, 0x1000);
    EXPECT_EQ(TryKonanRuntimeTypeNameFromMemory(narrow.View(), 0x3000, nullptr), "");
}

TEST(KotlinStrings, CurrentLayoutCases) {
    struct Case {
        uint32_t count;
        uint16_t flags;
        std::vector<uint8_t> payload;
        std::string text;
    };
    const Case table[] = {
        {3, 0x1002, {'a', 'b', 'c'}, "abc"},
        {3, 0x1000, {'a', 'b', 'c', 'd'}, "abcd"},
        {4, 0x0000, {'a', 0, 'b', 0, 'c', 0}, "abc"},
        {4, 0x0002, {'a', 0, 'b', 0, 'c'}, ""},  // odd UTF-16 payload
        {4, 0x0001, {'x', 0, 'y', 0, 'z', 0}, "xyz"},  // bit 0 is not examined
        {0, 0x1000, {'a'}, ""},
        {1048577, 0x1000, {'a'}, ""},
        {1, 0x1000, {}, ""},  // count 1: no payload at all
        {3, 0x0000, {0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},
    };
    for (const Case& c : table) {
        FakeMemory mem;
        mem.String(0x100, c.count, c.flags, c.payload);
        EXPECT_EQ(KotlinStringFromMemory(mem.View(), 0x100), c.text) << c.count << "/" << std::hex << c.flags;
    }
}

TEST(KotlinStrings, ReservedFlagsSelectTheOlderLayout) {
    for (uint16_t flags : {0x2000, 0x0004, 0x0800}) {
        FakeMemory mem;
        mem.Word(0x100 + 8, 2, 4);
        mem.Word(0x100 + 16, flags, 2);  // flags overlap the older layout's data part
        mem.Bytes(0x100 + 16, {static_cast<uint8_t>(flags), static_cast<uint8_t>(flags >> 8), 'k', 0});
        const std::string expected = Utf16leBytesToUtf8(std::vector<uint8_t>{static_cast<uint8_t>(flags),
                                                                             static_cast<uint8_t>(flags >> 8), 'k', 0}
                                                            .data(),
                                                        4);
        EXPECT_EQ(KotlinStringFromMemory(mem.View(), 0x100), expected) << std::hex << flags;
    }
    FakeMemory narrow(4);
    narrow.Word(0x100 + 4, 2, 4);
    narrow.Bytes(0x100 + 8, {'o', 0, 'k', 0});  // older layout data at 8 on 32-bit
    EXPECT_EQ(KotlinStringFromMemoryLegacy(narrow.View(), 0x100, 2), "ok");
    // 32-bit current layout: payload at 14, data part at 8, so count 4 leaves 2 bytes.
    narrow.Bytes(0x200 + 4, {4, 0, 0, 0});
    narrow.Bytes(0x200 + 12, {0x02, 0x10, 'z'});
    EXPECT_EQ(KotlinStringFromMemory(narrow.View(), 0x200), "z");
}

TEST(KotlinStrings, HostileHeadersStayBounded) {
    FakeMemory mem;
    // Maximal count with its payload missing: one bounded read that fails.
    mem.String(0x100, 0x100000, 0x1000, {'a'});
    EXPECT_EQ(KotlinStringFromMemory(mem.View(), 0x100), "");
    EXPECT_LE(mem.largestRead, 0x200000u);
    // A string object at the very top of the address space does not wrap to 0.
    FakeMemory top;
    EXPECT_EQ(KotlinStringFromMemory(top.View(), UINT64_MAX - 4), "");
    EXPECT_EQ(KotlinStringFromMemory(mem.View(), 0), "");
}

TEST(Utf16, PairsLoneSurrogatesAndOddBytes) {
    const struct {
        std::vector<uint8_t> in;
        std::string out;
    } table[] = {
        {{0x3D, 0xD8, 0x00, 0xDE}, "\xF0\x9F\x98\x80"},
        {{0x3D, 0xD8, 0x41, 0x00}, "\xED\xA0\xBD" "A"},
        {{0x00, 0xDE}, "\xED\xB8\x80"},
        {{'a', 0, 'b', 0, 'c'}, "ab"},
        {{'a'}, ""},
        {{0xE9, 0x00, 0xAC, 0x20}, "\xC3\xA9\xE2\x82\xAC"},
    };
    for (const auto& c : table) EXPECT_EQ(Utf16leBytesToUtf8(c.in.data(), c.in.size()), c.out);
    EXPECT_EQ(KotlinStringFromMemoryDecodePayload(1, {0xFF, 'a'}), Utf8({0xFF, 'a'})) << "one-byte text is not converted";
}

TEST(TextHelpers, ExpressionResultsPointersAndHeaderNames) {
    const std::pair<const char*, const char*> strip[] = {
        {"\"Foo\"\n", "Foo"}, {"\"", "\""}, {"\"\"", ""}, {"Foo\r\n", "Foo"}, {"\"a", "\"a"},
    };
    for (const auto& [in, out] : strip) EXPECT_EQ(StripExpressionStringResult(in), out) << in;

    const struct {
        const char* text;
        bool ok;
        uint64_t value;
    } pointers[] = {{"0x0", true, 0}, {"0X1f", true, 0x1f}, {"ff", true, 0xff}, {"zz", false, 0}, {"", false, 0},
                    {nullptr, false, 0}, {"0x", false, 0}};
    for (const auto& c : pointers) {
        uint64_t out = 99;
        EXPECT_EQ(ParsePointerValueText(c.text, &out), c.ok) << (c.text ? c.text : "null");
        if (c.ok) {
            EXPECT_EQ(out, c.value);
        }
    }
    for (const char* bad : {"0x", "0x12g4", "12", "0x12 ", static_cast<const char*>(nullptr)}) EXPECT_FALSE(IsHexPointerText(bad));
    EXPECT_TRUE(IsHexPointerText("0XdeadBEEF"));

    EXPECT_TRUE(TypeLooksObjheaderPtr("struct ObjHeader *"));
    EXPECT_TRUE(TypeLooksObjheaderPtr("OBJHEADER"));
    EXPECT_FALSE(TypeLooksObjheaderPtr("ObjHead *"));
    EXPECT_FALSE(TypeLooksObjheaderPtr(nullptr));
    EXPECT_EQ(KonanDebugGetTypeNameExpression(0xABC0),
              "(const char *)Konan_DebugGetTypeName((void *)(uintptr_t)0xabc0)");
}

}  // namespace
