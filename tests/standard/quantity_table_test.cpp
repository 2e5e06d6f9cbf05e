// The table of quantities, the report's rounding and the number texts, also under a decimal-comma
// locale, which Qt makes the process locale when it starts.
#include "standard/quantity_table.h"
#include "standard/statistics.h"
#include "standard/text.h"

#include "support/comma_locale.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

namespace tenso::standard {
namespace {

TEST(FormatRounded, EachQuantityToItsStep)
{
    EXPECT_EQ(FormatRounded(523.46, Rounding::Strength), "523");
    EXPECT_EQ(FormatRounded(523.5, Rounding::Strength), "524");  // half away from zero
    EXPECT_EQ(FormatRounded(205.25, Rounding::Modulus), "205.3");  // 2052.5 -> 2053
    EXPECT_EQ(FormatRounded(1.449, Rounding::Ae), "1.4");
    EXPECT_EQ(FormatRounded(12.24, Rounding::Elongation), "12.0");  // 24.48 -> 24 halves
    EXPECT_EQ(FormatRounded(12.25, Rounding::Elongation), "12.5");  // 24.5 -> 25 halves
    EXPECT_EQ(FormatRounded(12.76, Rounding::Elongation), "13.0");  // 25.52 -> 26 halves
    EXPECT_EQ(FormatRounded(61.6, Rounding::Z), "62");
    EXPECT_EQ(FormatRounded(78.5398, Rounding::Area), "78.54");
    EXPECT_EQ(FormatRounded(-0.2, Rounding::Elongation), "0.0");
    EXPECT_EQ(FormatRounded(std::nullopt, Rounding::Strength), "\u2013");
    EXPECT_EQ(FormatRounded(std::nan(""), Rounding::Strength), "\u2013");
}

// Under de_DE printf writes "78,54" and strtod stops at the '.', so 1.5e400 read as 1.
TEST(CommaLocale, NumbersAreWrittenAndReadWithAPoint)
{
    const test::CommaLocale locale;
    if (!locale.Active())
        GTEST_SKIP() << locale.Why();
    EXPECT_EQ(FormatRounded(78.5398, Rounding::Area), "78.54");
    EXPECT_EQ(FormatRounded(49.34, Rounding::CoV), "49.3");
    EXPECT_EQ(MessageText(523.7034), "523.703");
    EXPECT_EQ(MessageText(0.5), "0.5");
    EXPECT_FALSE(ParseNumber("1.5e400").has_value());  // beyond the double range
    EXPECT_EQ(ParseNumber("1.5e-400"), 0.0);  // below it: rounds to zero
    EXPECT_EQ(ParseNumber("+2,5"), 2.5);
}

TEST(ProofKey, ShortestDecimalTextNeverAnExponent)
{
    EXPECT_EQ(ProofKey(0.2), "0.2");
    EXPECT_EQ(ProofKey(1), "1");
    EXPECT_EQ(ProofKey(0.0001), "0.0001");
    EXPECT_EQ(ProofKey(1e-7), "0.0000001");
}

TEST(QuantityTable, EveryOutputNameIsOnceAndProofsFollowAe)
{
    const std::vector<Quantity> table = QuantityTable({0.0001, 1});
    std::set<std::string> headings;
    std::vector<std::string> statistics;
    for (const Quantity& q : table) {
        EXPECT_TRUE(headings.insert(q.Heading()).second) << q.Heading();
        if (q.statistics)
            statistics.push_back(q.symbol);
        if (q.rounding) {
            EXPECT_FALSE(q.meaning.empty()) << q.symbol;
        }
    }
    EXPECT_EQ(statistics,
        (std::vector<std::string> {
            "E", "ReH", "ReL", "Ae", "Rp0.0001", "Rp1", "Rm", "Fm", "Agt", "Ag", "Rf", "At", "A", "Z"}));
}

// The statistics of a proof strength are found under the key its column has.
TEST(QuantityTable, StatisticsOfASmallProofExtension)
{
    SeriesStatistics series({0.0001});
    for (const double mpa : {300.0, 310.0}) {
        Result r;
        ProofResult p;
        p.percent = 0.0001;
        p.key = ProofKey(0.0001);
        p.MPa = mpa;
        r.Rp.push_back(p);
        series.Add(r);
    }
    const Statistics statistics = series.Compute();
    const Statistic* s = FindStatistic(statistics, "Rp0.0001");
    ASSERT_NE(s, nullptr);
    EXPECT_EQ(s->n, 2U);
    EXPECT_EQ(s->mean, 305.0);
    EXPECT_EQ(s->min, 300.0);
}

}  // namespace
}  // namespace tenso::standard
