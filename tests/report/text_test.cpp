// The report's texts, without the binary.
#include "raw_text.h"
#include "text.h"

#include <gtest/gtest.h>

namespace tenso::report {
namespace {

TEST(NumberText, ShortestTextThatReadsBack)
{
    EXPECT_EQ(NumberText(0.2), "0.2");
    EXPECT_EQ(NumberText(1.0), "1");
    EXPECT_EQ(NumberText(0.1 + 0.2), "0.30000000000000004");  // the double's own digits
    EXPECT_EQ(NumberText(-0.0), "-0");
    EXPECT_EQ(NumberText(2.5e-7), "2.5e-07");
    EXPECT_EQ(NumberText(1.0 / 0.0), "");  // never "inf" in a JSON number
}

TEST(JsonString, EscapesQuotesControlsAndBytesThatAreNotUtf8)
{
    EXPECT_EQ(JsonString("a\"b\\c\n\t"), "\"a\\\"b\\\\c\\n\\t\"");
    EXPECT_EQ(JsonString("\x01"), "\"\\u0001\"");
    EXPECT_EQ(JsonString("Pr\xc3\xbc"
                         "fung"),
        "\"Pr\xc3\xbc"
        "fung\"");  // valid UTF-8 stays
    EXPECT_EQ(JsonString("Pr\xfc"
                         "fung"),
        "\"Pr\\udcfcfung\"");  // a Latin-1 byte
    EXPECT_EQ(JsonString("\xc3"), "\"\\udcc3\"");  // a cut sequence
    EXPECT_EQ(JsonString("\xed\xa0\x80"), "\"\\udced\\udca0\\udc80\"");  // an encoded surrogate
}

TEST(CsvField, QuotedOnlyWhereRfc4180NeedsIt)
{
    EXPECT_EQ(CsvField("plain.csv"), "plain.csv");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField(" padded"), "\" padded\"");
}

TEST(RawArgument, EveryByteStringSurvivesTheTripThroughQt)
{
    for (const std::string& bytes : {std::string("plain"),
             std::string("Pr\xfc"
                         "fung"),
             std::string("\xc3\xbc\xff"), std::string("\xf0\x9f\x98\x80 emoji"),
             std::string("\xed\xb2\x80")}) {
        EXPECT_EQ(EncodeArgument(DecodeArgument(bytes)), bytes);
    }
    EXPECT_EQ(DecodeArgument("Pr\xc3\xbc"
                             "fung"),
        QStringLiteral("Pr\u00fcfung"));  // UTF-8 reads as text
}

}  // namespace
}  // namespace tenso::report
