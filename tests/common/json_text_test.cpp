// The JSON string and the display name of a file name, written out by hand.
#include "common/json_text.h"

#include <gtest/gtest.h>

#include <string>

namespace tenso::common {
namespace {

TEST(JsonString, EscapesQuotesBackslashesAndControlCharacters)
{
    EXPECT_EQ(JsonString(""), "\"\"");
    EXPECT_EQ(JsonString("a\"b\\c/d"), "\"a\\\"b\\\\c/d\"");
    EXPECT_EQ(JsonString("\n\r\t"), "\"\\n\\r\\t\"");
    EXPECT_EQ(JsonString("\x01\x08\x0c\x1f"), "\"\\u0001\\u0008\\u000c\\u001f\"");
    EXPECT_EQ(JsonString(std::string("a\0b", 3)), "\"a\\u0000b\"");
    EXPECT_EQ(JsonString("x\x7fy"), "\"x\\u007fy\"");  // DEL too
    EXPECT_EQ(JsonString(" ~"), "\" ~\"");  // the printable ends stay
}

TEST(JsonString, KeepsValidUtf8AndEscapesEveryOtherByte)
{
    EXPECT_EQ(JsonString("Pr\xc3\xbc"
                         "fung \xe2\x82\xac \xf0\x9f\x92\xa9"),
        "\"Pr\xc3\xbc"
        "fung \xe2\x82\xac \xf0\x9f\x92\xa9\"");
    EXPECT_EQ(JsonString("caf\xe9.dat"), "\"caf\\udce9.dat\"");  // Latin-1
    EXPECT_EQ(JsonString("\xff\x80"), "\"\\udcff\\udc80\"");
    EXPECT_EQ(JsonString("\xc3"), "\"\\udcc3\"");  // a cut sequence
    EXPECT_EQ(JsonString("\xc0\x8a"), "\"\\udcc0\\udc8a\"");  // an overlong line feed is no line feed
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\udced\\udca0\\udc80\"");  // an encoded surrogate
    EXPECT_EQ(JsonString("\xe2\x82\""), "\"\\udce2\\udc82\\\"\"");  // the quote after a cut sequence
}

TEST(DisplayName, ShowsEachByteThatIsNotUtf8AsTheJsonDoes)
{
    EXPECT_EQ(DisplayName("specimen 1.csv"), "specimen 1.csv");
    EXPECT_EQ(DisplayName("Pr\xc3\xbc"
                          "fung.csv"),
        "Pr\xc3\xbc"
        "fung.csv");
    EXPECT_EQ(DisplayName("caf\xe9.csv"), "caf\\udce9.csv");  // the six characters \udce9
    EXPECT_EQ(DisplayName("\xe9\xc3\xa9\xff"), "\\udce9\xc3\xa9\\udcff");
    EXPECT_EQ(DisplayName("a\"b\\c"), "a\"b\\c");  // not a JSON string: nothing else escaped
    EXPECT_EQ(DisplayName(""), "");
}

}  // namespace
}  // namespace tenso::common
