// The report's texts and its ordered pool, without the binary.
#include "ordered_pool.h"
#include "raw_text.h"
#include "text.h"

#include "standard/evaluation.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

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

TEST(EvaluateInOrder, HandsResultsOverInOrderWhateverFinishesFirst)
{
    std::vector<std::size_t> seen;
    std::atomic<int> running {0}, most {0};
    EvaluateInOrder(
        20, 3, 2,
        [&](std::size_t i) {
            most = std::max(most.load(), ++running);
            std::this_thread::sleep_for(std::chrono::milliseconds(i % 4 == 0 ? 20 : 1));  // early ones slower
            --running;
            standard::Result r;
            r.records = i;
            return r;
        },
        [&](std::size_t i, standard::Result& r) {
            EXPECT_EQ(r.records, i);
            seen.push_back(i);
            return true;
        });
    ASSERT_EQ(seen.size(), 20U);
    for (std::size_t i = 0; i < seen.size(); ++i)
        EXPECT_EQ(seen[i], i);
    EXPECT_LE(most.load(), 3);
}

TEST(EvaluateInOrder, StopsWhenTheConsumerFails)
{
    std::atomic<std::size_t> evaluated {0};
    std::size_t consumed = 0;
    EvaluateInOrder(
        1000, 2, 2,
        [&](std::size_t) {
            ++evaluated;
            return standard::Result {};
        },
        [&](std::size_t, standard::Result&) { return ++consumed < 3; });
    EXPECT_EQ(consumed, 3U);
    EXPECT_LE(evaluated.load(), 3U + 4U);  // at most `ahead` = 2 x threads evaluated beyond
}

}  // namespace
}  // namespace tenso::report
