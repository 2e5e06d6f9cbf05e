// The report's number and CSV texts, without the binary (the JSON string and the argument codec,
// shared with tenso-eval, are tested in tests/common).
#include "fields.h"

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

TEST(CsvField, QuotedOnlyWhereRfc4180NeedsIt)
{
    EXPECT_EQ(CsvField("plain.csv"), "plain.csv");
    EXPECT_EQ(CsvField("a,b"), "\"a,b\"");
    EXPECT_EQ(CsvField("say \"hi\""), "\"say \"\"hi\"\"\"");
    EXPECT_EQ(CsvField("two\nlines"), "\"two\nlines\"");
    EXPECT_EQ(CsvField(" padded"), "\" padded\"");
}

}  // namespace
}  // namespace tenso::report
