// The UTF-8 check and the byte codec of file names. The expected sequences are worked out by hand
// from the UTF-8 and UTF-16 definitions (RFC 3629, Unicode chapter 3).
#include "common/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace tenso::common {
namespace {

// Each row: bytes, the length of the sequence at 0 (0: none), and its code point.
struct Sequence {
    const char* bytes;
    std::size_t length;
    char32_t code;
};

TEST(Utf8SequenceAt, AcceptsEachFormAtItsBoundsAndNothingElse)
{
    const Sequence rows[] = {
        {"\x7f", 1, 0x7F},
        {"\xc2\x80", 2, 0x80},  // the first two-byte character
        {"\xdf\xbf", 2, 0x7FF},
        {"\xe0\xa0\x80", 3, 0x800},
        {"\xed\x9f\xbf", 3, 0xD7FF},  // just below the surrogates
        {"\xee\x80\x80", 3, 0xE000},  // just above them
        {"\xef\xbb\xbf", 3, 0xFEFF},  // a byte order mark is a character like any other
        {"\xf0\x90\x80\x80", 4, 0x10000},
        {"\xf0\x9f\x92\xa9", 4, 0x1F4A9},
        {"\xf4\x8f\xbf\xbf", 4, 0x10FFFF},
        {"\xc0\x80", 0, 0},  // overlong NUL
        {"\xc1\xbf", 0, 0},  // overlong U+007F
        {"\xe0\x9f\xbf", 0, 0},  // overlong U+07FF
        {"\xf0\x8f\xbf\xbf", 0, 0},  // overlong U+FFFF
        {"\xed\xa0\x80", 0, 0},  // U+D800, a surrogate
        {"\xed\xbf\xbf", 0, 0},  // U+DFFF
        {"\xf4\x90\x80\x80", 0, 0},  // U+110000
        {"\xf5\x80\x80\x80", 0, 0},
        {"\xff", 0, 0},
        {"\x80", 0, 0},  // a continuation byte alone
        {"\xc3", 0, 0},  // cut short at the end
        {"\xe2\x82", 0, 0},
        {"\xc3\x28", 0, 0},  // no continuation byte where one belongs
        {"\xf0\x9f\x92\x28", 0, 0},
    };
    for (const Sequence& row : rows) {
        char32_t code = 0;
        EXPECT_EQ(Utf8SequenceAt(row.bytes, 0, &code), row.length) << row.bytes;
        if (row.length > 0) {
            EXPECT_EQ(code, row.code) << row.bytes;
            EXPECT_TRUE(IsUtf8(row.bytes)) << row.bytes;
        } else {
            EXPECT_FALSE(IsUtf8(row.bytes)) << row.bytes;
        }
    }
    // A sequence is judged where it starts: the 'x' after a good one, a bad one after good text.
    EXPECT_EQ(Utf8SequenceAt("\xc3\xa9x", 2), 1U);
    EXPECT_TRUE(IsUtf8(""));
    EXPECT_TRUE(IsUtf8("Pr\xc3\xbc"
                       "fung.csv"));
    EXPECT_FALSE(IsUtf8("Pr\xfc"
                        "fung.csv"));
    EXPECT_FALSE(IsUtf8("ok\xc3"));
}

TEST(DecodeBytes, ValidUtf8AsItsCharactersEveryOtherByteAsAnEscape)
{
    EXPECT_EQ(DecodeBytes("plain"), u"plain");
    EXPECT_EQ(DecodeBytes("Pr\xc3\xbc"
                          "f"),
        u"Pr\u00fcf");
    EXPECT_EQ(DecodeBytes("caf\xe9"), u"caf\xdce9");  // Latin-1
    EXPECT_EQ(DecodeBytes("\xc0\xaf"), u"\xdcc0\xdcaf");  // overlong '/'
    EXPECT_EQ(DecodeBytes("\xed\xa0\x80"), u"\xdced\xdca0\xdc80");  // an encoded surrogate
    EXPECT_EQ(DecodeBytes("\xe2\x82"), u"\xdce2\xdc82");  // a cut euro sign
    // U+1F4A9: 0xF4A9 above U+10000, high half D800 + 0x3D, low half DC00 + 0xA9.
    EXPECT_EQ(DecodeBytes("\xf0\x9f\x92\xa9"), std::u16string({0xD83D, 0xDCA9}));
    EXPECT_EQ(DecodeBytes("\xf4\x8f\xbf\xbf"), std::u16string({0xDBFF, 0xDFFF}));  // U+10FFFF
    EXPECT_EQ(DecodeBytes("\xef\xbb\xbf"
                          "a"),
        u"\ufeffa");  // a leading byte order mark is kept
}

TEST(EncodeBytes, GivesBackTheBytesAndWritesCharactersAsUtf8)
{
    EXPECT_EQ(EncodeBytes(u"caf\xdce9"), "caf\xe9");
    EXPECT_EQ(EncodeBytes(u"\u20ac"), "\xe2\x82\xac");
    // A pair whose low half lies among the escapes (DC80..DCFF) is still one character.
    EXPECT_EQ(EncodeBytes(std::u16string({0xD83D, 0xDCA9})), "\xf0\x9f\x92\xa9");
    EXPECT_EQ(EncodeBytes(std::u16string({0xD83D, 0xDCA9, 0xDCE9})), "\xf0\x9f\x92\xa9\xe9");
}

TEST(DecodeBytes, EveryByteStringComesBackFromEncodeBytes)
{
    const std::string cases[] = {"", "plain", "caf\xe9.dat", "\xc3\xbc\xff", "\xf0\x9f\x98\x80 emoji",
        "\xf0\x9f\x92\x80\xf0\x9f\x93\xbf", "\xed\xb2\x80", "\xc0\x80\xc1\xbf", "\xe0\x80\xaf",
        "\xf8\x88\x80\x80\x80",
        "\xef\xbb\xbf"
        "bom",
        "\xe2\x82", std::string("nul\0inside", 10)};
    for (const std::string& bytes : cases)
        EXPECT_EQ(EncodeBytes(DecodeBytes(bytes)), bytes) << bytes;

    // Every byte alone, then many strings of bytes drawn from the interesting ones: lead bytes of
    // each length, continuation bytes, bytes that never occur in UTF-8, and ASCII.
    for (int b = 0; b < 256; ++b) {
        const std::string one(1, static_cast<char>(b));
        EXPECT_EQ(EncodeBytes(DecodeBytes(one)), one) << b;
    }
    const unsigned char alphabet[] = {'a', 0x00, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC2, 0xDF,
        0xE0, 0xED, 0xEF, 0xF0, 0xF4, 0xF5, 0xFF};
    std::uint32_t state = 12345;
    for (int n = 0; n < 20000; ++n) {
        std::string bytes;
        const int length = static_cast<int>(state % 9);
        for (int k = 0; k < length; ++k) {
            state = state * 1664525U + 1013904223U;
            bytes += static_cast<char>(alphabet[(state >> 16U) % sizeof alphabet]);
        }
        state = state * 1664525U + 1013904223U;
        ASSERT_EQ(EncodeBytes(DecodeBytes(bytes)), bytes);
    }
}

}  // namespace
}  // namespace tenso::common
