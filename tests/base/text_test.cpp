// UTF-8/UTF-16 conversion, 8-bit decoding, case-insensitive names and C-like number parsing.
#include "base/text.h"

#include <gtest/gtest.h>

#include <climits>

namespace mivo::text {
namespace {

TEST(Utf16, RoundTripsEveryPlane) {
    for (const std::string s : {"", "Key1", "caf\xC3\xA9", "\xE5\x8D\x95\xE5\x87\xBB",
                                "a\xF0\x9F\x98\x80z"}) {
        EXPECT_EQ(Utf16ToUtf8(Utf8ToUtf16(s)), s);
        EXPECT_EQ(Utf16LeBytesToUtf8(Utf8ToUtf16LeBytes(s)), s);
    }
    // U+1F600 is a surrogate pair; bytes are little-endian.
    EXPECT_EQ(Utf8ToUtf16("\xF0\x9F\x98\x80"), (std::u16string{0xD83D, 0xDE00}));
    EXPECT_EQ(Utf8ToUtf16LeBytes("A\xC3\xA9"), std::string("A\0\xE9\0", 4));
}

TEST(Utf16, BrokenInputBecomesReplacementCharacter) {
    EXPECT_EQ(Utf16ToUtf8(std::u16string{u'a', 0xD800, u'b'}), "a\xEF\xBF\xBD" "b");
    EXPECT_EQ(Utf16ToUtf8(std::u16string{0xDC00}), "\xEF\xBF\xBD");
    EXPECT_EQ(Utf8ToUtf16("a\xFF"), (std::u16string{u'a', 0xFFFD}));
    EXPECT_EQ(Utf16LeBytesToUtf8(std::string("A\0B", 3)), "A");  // odd trailing byte dropped
}

TEST(DecodeText8, KeepsUtf8AndReadsOtherBytesAsWindows1252) {
    struct Case {
        std::string bytes;
        std::string utf8;
    } cases[] = {
        {"plain", "plain"},
        {"caf\xC3\xA9", "caf\xC3\xA9"},                   // valid UTF-8 kept
        {"caf\xE9", "caf\xC3\xA9"},                       // 1252 e-acute
        {"\x80 \x9F", "\xE2\x82\xAC \xC5\xB8"},           // euro sign, Y diaeresis
        {"\x81", "\xC2\x81"},                             // undefined byte keeps its C1 value
        {"\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"},             // mixed in one line
        {"\xE2\x82", "\xC3\xA2\xE2\x80\x9A"},             // cut-off sequence: byte by byte
        {"\xC0\xAF", "\xC3\x80\xC2\xAF"},                 // overlong form is not UTF-8
        {"\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"}, // encoded surrogate is not UTF-8
    };
    for (const Case& c : cases) EXPECT_EQ(DecodeText8(c.bytes), c.utf8) << c.bytes;
}

TEST(EqualsNoCase, FoldsLatinGreekCyrillicOnly) {
    struct Case {
        std::string a, b;
        bool equal;
    } cases[] = {
        {"ConfigData", "CONFIGDATA", true},
        {"\xC3\x84rger", "\xC3\xA4RGER", true},   // Ä / ä
        {"\xC5\x81\xC3\xB3" "d\xC5\xBA", "\xC5\x82\xC3\x93" "D\xC5\xB9", true},  // Łódź / łÓDŹ
        {"\xD0\x96", "\xD0\xB6", true},           // Ж / ж
        {"\xCE\xA3", "\xCF\x83", true},           // Σ / σ
        {"ab", "abc", false},
        {"\xC3\x9F", "ss", false},                // no multi-letter folding
        {"a", "\xC3\xA1", false},
        {"", "", true},
    };
    for (const Case& c : cases) EXPECT_EQ(EqualsNoCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(ParseLong, BehavesLikeStrtolOn32Bits) {
    struct Case {
        std::string text;
        int base;
        int32_t value;
    } cases[] = {
        {"42", 10, 42},           {"  \t-7", 10, -7},       {"+5", 10, 5},
        {"12abc", 10, 12},        {"abc", 10, 0},           {"", 10, 0},
        {"- 5", 10, 0},           {"0x10", 10, 0},          {"99999999999", 10, INT32_MAX},
        {"-99999999999", 10, INT32_MIN},                    {"-2147483648", 10, INT32_MIN},
        {"0x82", 16, 0x82},       {"82", 16, 0x82},         {"FFz", 16, 0xFF},
        {"0x", 16, 0},            {"0xg", 16, 0},           {"-0x1", 16, -1},
        {"0xFFFFFFFF", 16, INT32_MAX},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseLong(c.text, c.base), c.value) << c.text;
}

TEST(TruncateUtf16, CountsUtf16UnitsAndNeverSplitsACharacter) {
    EXPECT_EQ(Utf16Length("a\xE5\x8D\x95\xF0\x9F\x98\x80"), 4u);
    EXPECT_EQ(TruncateUtf16("abcdef", 3), "abc");
    EXPECT_EQ(TruncateUtf16("a\xF0\x9F\x98\x80", 2), "a");
    EXPECT_EQ(TruncateUtf16("a\xF0\x9F\x98\x80", 3), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(TruncateUtf16("\xE5\x8D\x95\xE5\x87\xBB", 1), "\xE5\x8D\x95");
    EXPECT_EQ(TruncateUtf16("abc", 0), "");
}

}  // namespace
}  // namespace mivo::text
