#include "analysis/valley_steps.h"
#include "curve.h"

#include <gtest/gtest.h>

namespace tenso {
namespace {

using test::Form;

constexpr int16_t Previous = 0;  // "<"
constexpr int16_t Next = 1;  // ">"

// Checks one step's drawing: the white marker and the green record ring at the valley that was
// selected, then the grey marker at the new one.
void expectStepDrawing(const Form& f, test::Point from, test::Point to)
{
    const auto& drawn = f.picture.Commands();
    ASSERT_EQ(drawn.size(), 17u + 1 + 17);
    size_t i = test::ExpectMarkers(drawn, 0, {{from.x, from.y, colors::White}}, f.state.MarkerRadius);
    EXPECT_EQ(drawn[i], test::Circle(from.x, -from.y, f.state.MarkerRadius, colors::Green));
    test::ExpectMarkers(drawn, i + 1, {{to.x, to.y, colors::Grey}}, f.state.MarkerRadius);
}

TEST(Command5Click, StepsThroughThreeValleysWrappingAtBothEnds)
{
    Form f;
    f.state.MarkerRadius = 0.5f;
    test::SetValleys(f.state, {{10, 346.5f}, {20, 347}, {30, 348.25f}});  // Draw selects valley 3

    Command5_Click(Next, f.state, f.window);  // 4 is past the last: back to 1
    EXPECT_EQ(f.state.ValleyIndex, 1);
    EXPECT_EQ(f.window.Text(Field::Text15), "346.5");
    expectStepDrawing(f, {30, 348.25f}, {10, 346.5f});

    f.picture.Clear();
    Command5_Click(Previous, f.state, f.window);  // 0 is before the first: on to 3
    EXPECT_EQ(f.state.ValleyIndex, 3);
    EXPECT_EQ(f.window.Text(Field::Text15), "348.25");
    expectStepDrawing(f, {10, 346.5f}, {30, 348.25f});

    f.picture.Clear();
    Command5_Click(Previous, f.state, f.window);
    EXPECT_EQ(f.state.ValleyIndex, 2);
    EXPECT_EQ(f.window.Text(Field::Text15), "347");
    expectStepDrawing(f, {30, 348.25f}, {20, 347});
}

TEST(Command5Click, OneValleyStaysSelectedAndIsMarkedAgain)
{
    for (int16_t button : {Previous, Next, int16_t {2}}) {
        SCOPED_TRACE(button);
        Form f;
        f.state.MarkerRadius = 1;
        test::SetValleys(f.state, {{12, 0}});  // a valley at Y 0 is shown as 0 by the buttons
        f.window.SetText(Field::Text15, "was");
        Command5_Click(button, f.state, f.window);
        EXPECT_EQ(f.state.ValleyIndex, 1);
        EXPECT_EQ(f.window.Text(Field::Text15), "0");
        expectStepDrawing(f, {12, 0}, {12, 0});
    }
}

TEST(Command5Click, DoesNothingWithoutAValley)
{
    for (int16_t button : {Previous, Next}) {
        SCOPED_TRACE(button);
        Form f;
        f.state.MarkerRadius = 1;
        // An earlier file's valley is still in the slots; this curve has none.
        f.state.ValleyX[1] = 5;
        f.state.ValleyY[1] = 300;
        f.window.SetText(Field::Text15, "was");
        Command5_Click(button, f.state, f.window);
        EXPECT_EQ(f.state.ValleyIndex, 0);
        EXPECT_EQ(f.window.Text(Field::Text15), "was");
        EXPECT_TRUE(f.picture.Commands().empty());
        EXPECT_TRUE(f.window.Messages().empty());
    }
}

}  // namespace
}  // namespace tenso
