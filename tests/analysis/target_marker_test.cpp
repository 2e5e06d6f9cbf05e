#include "analysis/target_marker.h"
#include "curve.h"

#include <gtest/gtest.h>

namespace tenso {
namespace {

using test::Form;
using test::Op;

TEST(DrawTargetMarker, SeventeenRingsFromATenthToSevenTenthsAroundTheMirroredPoint)
{
    Form f;
    f.state.MarkerRadius = 0.012f;  // the radius of the small example plot, 1.2 wide
    DrawTargetMarker(f.state, f.picture, 0.5f, 21, colors::Blue);

    // Adding 0.1 seventeen times in double gives 1.7000000000000004 and then 1.8000000000000005,
    // which fails "<= 1.8": no eighteenth ring.
    const auto& drawn = f.picture.Commands();
    ASSERT_EQ(drawn.size(), 17u);
    EXPECT_EQ(test::ExpectMarkers(drawn, 0, {{0.5f, 21, colors::Blue}}, 0.012f), 17u);
    EXPECT_NEAR(drawn.back().c, 0.0204, 1e-8);
}

TEST(DrawTargetMarker, FactorIsADoubleCounter)
{
    Form f;
    f.state.MarkerRadius = 1000;
    DrawTargetMarker(f.state, f.picture, 0, 0, colors::Black);
    const auto& drawn = f.picture.Commands();
    ASSERT_EQ(drawn.size(), 17u);
    // Five additions of 0.1 in double give exactly 0.5; ten give 0.9999999999999999, and that times
    // 1000 rounds to 1000. A Single counter would reach 1.0000001 after ten additions and draw the
    // tenth ring at 1000.0001.
    EXPECT_EQ(drawn[4].c, 500.0f);
    EXPECT_EQ(drawn[9].c, 1000.0f);
}

}  // namespace
}  // namespace tenso
