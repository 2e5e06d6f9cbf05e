#include "state/failure.h"
#include "state/single.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>

namespace tenso {
namespace {

int16_t failureOf(auto&& f)
{
    try {
        f();
    } catch (const Failure& e) {
        return e.number;
    }
    return 0;
}

TEST(Single, RoundsEveryOperationToFloat)
{
    // 16777216 + 1 is not a float: the sum stays 16777216, as in a float unit.
    EXPECT_EQ(single::add(16777216.0f, 1.0f), 16777216.0f);
    EXPECT_EQ(single::sub(1.0f, 1e-8f), 1.0f);
    EXPECT_EQ(single::mul(0.1f, 3.0f), 0.1f * 3.0f);
    EXPECT_EQ(single::div(1.0f, 3.0f), 1.0f / 3.0f);
}

TEST(Single, OverflowAndZeroDivisorAreFailuresNotInfinities)
{
    EXPECT_EQ(failureOf([] { single::mul(FLT_MAX, 2.0f); }), 6);
    EXPECT_EQ(failureOf([] { single::add(FLT_MAX, FLT_MAX); }), 6);
    EXPECT_EQ(failureOf([] { single::div(1.0f, 0.0f); }), 11);
    EXPECT_EQ(failureOf([] { single::div(0.0f, 0.0f); }), 11);
    EXPECT_EQ(failureOf([] { single::div(1e30f, 1e-30f); }), 6);
    EXPECT_EQ(failureOf([] { single::from(1e39); }), 6);
    EXPECT_EQ(failureOf([] { single::from(NAN); }), 6);
    EXPECT_EQ(failureOf([] { single::from(HUGE_VAL); }), 6);
}

TEST(Single, ValuesJustBelowTheOverflowEdgeRoundToTheLargestFloat)
{
    const double belowHalfway = std::nextafter(0x1.ffffffp127, 0.0);
    EXPECT_EQ(single::from(belowHalfway), FLT_MAX);
    EXPECT_EQ(failureOf([] { single::from(0x1.ffffffp127); }), 6);
    // Exactly halfway as a double, but the exact product lies just below: still the largest float.
    EXPECT_EQ(single::fromExact(0x1.ffffffp127, -1e90), FLT_MAX);
}

TEST(Single, ProductIsRoundedOnlyOnce)
{
    // a * b = 1 + 2^-24 + 2^-54 - 2^-60 lies just above the float midpoint 1 + 2^-24, but its
    // double rounding lands exactly on the midpoint, which then rounds to even (down).
    const double a = 1.0 + 0x1p-30;
    const double b = 1.0 + 0x1p-24 - 0x1p-30;
    const double hi = a * b;
    ASSERT_EQ(hi, 1.0 + 0x1p-24);  // the double product is the midpoint itself
    EXPECT_EQ(static_cast<float>(hi), 1.0f);  // double rounding: down to even
    EXPECT_EQ(single::product(a, b), 1.0f + 0x1p-23f);
    EXPECT_EQ(single::product(-a, b), -(1.0f + 0x1p-23f));
    EXPECT_EQ(single::product(0.1, 10.0f), 1.0f);
}

// The value type: each operator is one checked operation, grouped as C++ groups the formula.
TEST(SingleType, RoundsEachOperationInTheOrderWritten)
{
    // 1 + 1e8 is not a float (spacing 8 at 1e8): the sum rounds to 1e8 before 1e8 is taken away.
    EXPECT_EQ((Single(1) + 1e8f - 1e8f).value(), 0.0f);
    EXPECT_EQ((Single(1) + (Single(1e8f) - 1e8f)).value(), 1.0f);
    // 16777216 + 1 + 1: each + rounds back to 16777216; 16777216 + 2 is exact.
    EXPECT_EQ((Single(16777216.0f) + 1 + 1).value(), 16777216.0f);
    EXPECT_EQ((Single(16777216.0f) + (Single(1) + 1)).value(), 16777218.0f);
    // The offset-strength step with m = 200, slope = 100, x1 = 3, y1 = 250, offset = 2:
    // (200 * (300 - 250) - (200 * 2) * 100) / (100 - 200) = (10000 - 40000) / -100 = 300.
    const Single m = 200, slope = 100, x1 = 3, y1 = 250, offset = 2;
    EXPECT_EQ(((m * (slope * x1 - y1) - (m * offset) * slope) / (slope - m)).value(), 300.0f);
    EXPECT_EQ((-offset * m).value(), -400.0f);
}

TEST(SingleType, RaisesTheFailuresOfTheCheckedArithmetic)
{
    EXPECT_EQ(failureOf([] { (void)(Single(FLT_MAX) * 2); }), 6);
    EXPECT_EQ(failureOf([] { (void)(Single(FLT_MAX) + FLT_MAX); }), 6);
    EXPECT_EQ(failureOf([] { (void)(Single(-FLT_MAX) - FLT_MAX); }), 6);
    EXPECT_EQ(failureOf([] { (void)(Single(1) / 0); }), 11);
    EXPECT_EQ(failureOf([] { (void)(Single(0) / 0); }), 11);
    EXPECT_EQ(failureOf([] { (void)Single::From(1e39); }), 6);
    EXPECT_EQ(failureOf([] { (void)Scaled(FLT_MAX, 1.1); }), 6);
}

TEST(SingleType, ScaledRoundsTheExactProductOnce)
{
    // 10 * 0.1 (the double just above a tenth) lies a hair above 1: one rounding gives 1.
    EXPECT_EQ(Scaled(10.0f, 0.1).value(), 1.0f);
    EXPECT_EQ(Scaled(-2.5f, 2.0).value(), -5.0f);
}

}  // namespace
}  // namespace tenso
