#include "core/text_conversion.h"

#include <gtest/gtest.h>

using nativescope::IsAllAscii;
using nativescope::Utf8ToUtf16Units;

namespace {

struct DecodeCase {
    const char* label;
    std::string bytes;
    std::u16string units;
};

class Utf8Decoding : public ::testing::TestWithParam<DecodeCase> {};

TEST_P(Utf8Decoding, GivesExpectedUnits) {
    EXPECT_EQ(Utf8ToUtf16Units(GetParam().bytes), GetParam().units) << GetParam().label;
}

const std::u16string R(1, u'\uFFFD');

INSTANTIATE_TEST_SUITE_P(
    Table, Utf8Decoding,
    ::testing::Values(
        DecodeCase{"two-byte e-acute", "caf\xC3\xA9", u"caf\u00E9"},
        DecodeCase{"four-byte emoji", "\xF0\x9F\x98\x80", u"\U0001F600"},
        DecodeCase{"lone 0xFF", "\xFF", R},
        DecodeCase{"overlong 3-byte NUL", std::string("\xE0\x80\x80", 3), R + R + R},
        DecodeCase{"encoded surrogate", "\xED\xA0\x80", R + R + R},
        DecodeCase{"truncated 2-byte at end", "ab\xC3", u"ab" + R},
        DecodeCase{"truncated 3-byte at end", "\xE2\x82", R + R},
        DecodeCase{"truncated 4-byte at end", "\xF0\x9F\x98", R + R + R},
        DecodeCase{"overlong lead C0", "\xC0\xAF", R + R},
        DecodeCase{"lead above F4", "\xF5\x80\x80\x80", R + R + R + R},
        DecodeCase{"code point above U+10FFFF", "\xF4\x90\x80\x80", R + R + R + R},
        DecodeCase{"stray continuation", "a\x80" "b", u"a" + R + u"b"},
        DecodeCase{"bad continuation keeps next byte", "\xC3(", R + u"("},
        DecodeCase{"three-byte euro", "\xE2\x82\xAC", u"\u20AC"},
        DecodeCase{"embedded NUL kept", std::string("a\0\xC3\xA9", 4), std::u16string(u"a\0\u00E9", 3)}));

TEST(Utf8Ascii, DetectsHighBytesAnywhere) {
    EXPECT_TRUE(IsAllAscii(std::string("abc\0def", 7)));
    EXPECT_FALSE(IsAllAscii("abc\x80"));
    EXPECT_TRUE(IsAllAscii(""));
}

}  // namespace
