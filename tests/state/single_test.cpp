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

}  // namespace
}  // namespace tenso
