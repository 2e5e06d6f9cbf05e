#include "decimate.h"
#include "ticks.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

using namespace tenso::report;

// The steps by hand: span / intervals, then the next of 1, 2, 5 x 10^k at or above it.
TEST(NiceAxis, StressUpToARoundHundred)
{
    // 523.7 / 6 = 87.3 -> 100; 0..600 in 6 intervals.
    const Axis a = NiceAxis(0, 523.7, 6);
    EXPECT_DOUBLE_EQ(a.lo, 0);
    EXPECT_DOUBLE_EQ(a.hi, 600);
    EXPECT_DOUBLE_EQ(a.step, 100);
}

TEST(NiceAxis, SmallStrains)
{
    // 0.37 / 5 = 0.074 -> 0.1; 0..0.4.
    const Axis a = NiceAxis(0, 0.37, 5);
    EXPECT_DOUBLE_EQ(a.step, 0.1);
    EXPECT_NEAR(a.hi, 0.4, 1e-12);
    EXPECT_EQ(TickDecimals(a.step), 1);
}

TEST(NiceAxis, StepOfFive)
{
    // 23.4 / 5 = 4.68 -> 5; 0..25.
    const Axis a = NiceAxis(0, 23.4, 5);
    EXPECT_DOUBLE_EQ(a.step, 5);
    EXPECT_DOUBLE_EQ(a.hi, 25);
}

TEST(NiceAxis, WideningOutwardsTakesTheNextStep)
{
    // 20 / 4 = 5 -> 5, but -3..17 widens to -5..20, five intervals; 10 gives -10..20, three.
    const Axis a = NiceAxis(-3, 17, 4);
    EXPECT_DOUBLE_EQ(a.step, 10);
    EXPECT_DOUBLE_EQ(a.lo, -10);
    EXPECT_DOUBLE_EQ(a.hi, 20);
}

TEST(NiceAxis, ExactMultipleStaysPut)
{
    // 0.3 is 3 x 0.1 but for the binary representation: no widening to 0.4.
    const Axis a = NiceAxis(0, 0.1 + 0.2, 3);
    EXPECT_NEAR(a.hi, 0.3, 1e-12);
    EXPECT_NEAR(a.step, 0.1, 1e-15);
}

TEST(NiceAxis, EmptyRangeBecomesUnitRange)
{
    const Axis a = NiceAxis(5, 5, 5);
    EXPECT_LT(a.lo, a.hi);
    EXPECT_LE(a.lo, 5);
    EXPECT_GE(a.hi, 5);
}

TEST(TickDecimals, FromStep)
{
    EXPECT_EQ(TickDecimals(0.05), 2);
    EXPECT_EQ(TickDecimals(0.2), 1);
    EXPECT_EQ(TickDecimals(1), 0);
    EXPECT_EQ(TickDecimals(20), 0);
}

TEST(DecimateIndices, KeepsEveryPeakOfAMillionPoints)
{
    // A flat line with 50 spikes up and 50 down at chosen places; 1000 columns over 1e6 points.
    const std::size_t n = 1000000;
    std::vector<double> x(n), y(n, 100.0);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = static_cast<double>(i);
    std::vector<std::size_t> peaks;
    for (std::size_t k = 0; k < 100; ++k) {
        const std::size_t i = 7 + k * 9973;
        y[i] = k % 2 == 0 ? 900.0 : -900.0;
        peaks.push_back(i);
    }
    const auto kept = DecimateIndices(x, y, 0, static_cast<double>(n), 1000);
    for (const std::size_t i : peaks)
        EXPECT_TRUE(std::binary_search(kept.begin(), kept.end(), i)) << "peak at " << i;
    EXPECT_EQ(kept.front(), 0u);
    EXPECT_EQ(kept.back(), n - 1);
    EXPECT_LE(kept.size(), 4000u);  // at most first, min, max, last per column
    EXPECT_TRUE(std::is_sorted(kept.begin(), kept.end()));
}

TEST(DecimateIndices, CurveGoingBackKeepsItsPath)
{
    // x: 0, 1, 2 (column 0), 5 (column 1), 1 (column 0 again): a run each, nothing merged.
    const std::vector<double> x {0, 1, 2, 5, 1}, y {0, 3, 1, 2, 4};
    const auto kept = DecimateIndices(x, y, 0, 8, 2);
    EXPECT_EQ(kept, (std::vector<std::size_t> {0, 1, 2, 3, 4}));
}

TEST(DecimateIndices, NoPoints) { EXPECT_TRUE(DecimateIndices({}, {}, 0, 1, 10).empty()); }
