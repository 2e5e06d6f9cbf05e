#include "plot/draw.h"
#include "state/failure.h"
#include "state/number_text.h"
#include "support/fake_window.h"
#include "support/recording_surface.h"
#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <string>

namespace tenso {
namespace {

using test::Command;
using test::Op;
using test::OpsOf;

const std::string workedExample = "first header line, with, commas\r\nsecond header line\r\n0.0  0  "
                                  "0.0\r\n0.5  1  10.5\r\n1.0,2,21.0\r\n";

// A freshly started window with the file chosen, as after Browse.
struct Plot : test::Form {
    explicit Plot(std::string_view content, const char* skip = "0", const char* yColumn = "2")
        : file(content)
    {
        window.SetText(Field::Text10, skip);
        window.SetText(Field::Text5, yColumn);
        state.DataFileName = file.path();
    }
    void draw(int16_t index = 0) { Command3_Click(index, state, window); }
    std::string message() const { return window.Messages().empty() ? "" : window.Messages().back().text; }

    test::TempFile file;
};

std::string records(int n)
{
    std::string out;
    for (int i = 1; i <= n; ++i)
        out += std::to_string(i) + "," + std::to_string(i % 7) + "\r\n";
    return out;
}

TEST(Draw, TheWorkedExampleGetsAMarginOfATenthAroundItsData)
{
    Plot p(workedExample, "2", "3");
    p.draw();
    ASSERT_TRUE(p.window.Messages().empty()) << p.message();
    const auto scales = OpsOf(p.picture, Op::Scale);
    ASSERT_EQ(scales.size(), 1u);
    // Top-left (XMin, -YMax), bottom-right (XMax, -YMin): X -0.1 to 1.1, Y -2.1 to 23.1.
    EXPECT_EQ(scales[0], (Command {Op::Scale, -0.1f, -23.1f, 1.1f, 2.1f}));
    EXPECT_EQ(p.window.Text(Text12(0)), "1.1");
    EXPECT_EQ(p.window.Text(Text12(1)), "23.1");
    EXPECT_EQ(SingleText(p.state.MarkerRadius), "0.012");
    EXPECT_EQ(p.window.Text(Text2(0)), p.file.path());
    // The change rules ran on the written maxima and moved the minima to a tenth below zero.
    EXPECT_EQ(p.state.ScaleXMax, 1.1f);
    EXPECT_EQ(p.state.ScaleXMin, -0.11f);
    EXPECT_EQ(p.state.ScaleYMin, -2.31f);
}

TEST(Draw, AxesThroughTheOriginThenTheCurveWithAMarkerOnEveryPoint)
{
    Plot p("0,0\r\n10,500\r\n5,250\r\n");
    p.draw();
    const auto& c = p.picture.Commands();
    // Cls at the start and again after the read, then scale, X axis, Y axis.
    ASSERT_GE(c.size(), 6u);
    EXPECT_EQ(c[0].op, Op::Cls);
    EXPECT_EQ(c[1].op, Op::Cls);
    EXPECT_EQ(c[2], (Command {Op::Scale, -1, -550, 11, 50}));
    EXPECT_EQ(c[3], (Command {Op::Line, -1, 0, 11, 0, colors::Blue}));
    EXPECT_EQ(c[4], (Command {Op::Line, 0, 50, 0, -550, colors::Blue}));
    EXPECT_EQ(c[5], (Command {Op::PSet, 0, -0.0f, 0, 0, colors::Green}));
    EXPECT_EQ(SingleText(p.state.MarkerRadius), "0.12");
    const float r = p.state.MarkerRadius;
    EXPECT_EQ(c[6], (Command {Op::LineTo, 0, -0.0f, 0, 0, colors::Green}));
    EXPECT_EQ(c[7], (Command {Op::Circle, 0, -0.0f, r, 0, colors::Green}));
    EXPECT_EQ(c[8], (Command {Op::LineTo, 10, -500, 0, 0, colors::Green}));
    EXPECT_EQ(c.size(), 12u);
}

TEST(Draw, DataBelowZeroWidenTheNearSideUntilTheFieldsResetIt)
{
    Plot p("-3,-1\r\n0,0\r\n10,5\r\n");
    p.draw();
    const auto scales = OpsOf(p.picture, Op::Scale);
    ASSERT_EQ(scales.size(), 1u);
    EXPECT_EQ(scales[0].a, -3.3f);  // XMin x 1.1, below XMax x -0.1 = -1
    EXPECT_EQ(scales[0].d, 1.1f);  // YMin -1 x 1.1, below YMax x -0.1 = -0.5
    EXPECT_EQ(p.window.Text(Text12(0)), "11");
    EXPECT_EQ(p.state.ScaleXMin, -1.1f);
    // The next Draw keeps the maxima and takes the minima the fields left.
    p.draw();
    const auto again = OpsOf(p.picture, Op::Scale);
    EXPECT_EQ(again.back().a, -1.1f);
}

TEST(Draw, KeepsTheScaleOfTheFirstDrawUntilClearScale)
{
    Plot p("0,0\r\n10,500\r\n");
    p.draw();
    test::TempFile bigger("0,0\r\n20,900\r\n");
    p.state.DataFileName = bigger.path();
    p.state.FileScanned = 0;
    p.draw();
    // The maxima stay; the minima are those the fields' change rules left: -0.1 x the maxima.
    EXPECT_EQ(OpsOf(p.picture, Op::Scale).back(), (Command {Op::Scale, -1.1f, -550, 11, 55}));
    p.draw(1);  // Clear scale
    EXPECT_EQ(OpsOf(p.picture, Op::Scale).back(), (Command {Op::Scale, -2, -990, 22, 90}));
    EXPECT_EQ(p.window.Text(Text12(0)), "22");
    EXPECT_EQ(p.window.Text(Text12(1)), "990");
}

TEST(Draw, ClearScaleOnTheSameDataKeepsTheComputedMinimum)
{
    Plot p("-3,-1\r\n10,5\r\n");
    p.draw();
    p.draw(1);  // the fields already show "11" and "5.5": no change rule runs
    EXPECT_EQ(p.state.ScaleXMin, -3.3f);
    EXPECT_EQ(p.state.ScaleYMin, -1.1f);
}

TEST(Draw, EveryFifthMarkerBlueEveryTenthRed)
{
    Plot p(records(23));
    p.draw();
    std::vector<int> blue, red;
    int green = 0;
    int point = 0;
    for (const Command& c : p.picture.Commands()) {
        if (c.op == Op::LineTo)
            ++point;
        if (c.op != Op::Circle)
            continue;
        if (c.color == colors::Green)
            ++green;
        if (c.color == colors::Blue)
            blue.push_back(point);
        if (c.color == colors::Red)
            red.push_back(point);
    }
    EXPECT_EQ(green, 23);
    EXPECT_EQ(blue, (std::vector<int> {5, 10, 15, 20}));
    EXPECT_EQ(red, (std::vector<int> {10, 20}));  // drawn after the blue one, so 10 and 20 show red
}

TEST(Draw, ASingleRecordDrawsOnePointAndOneCircle)
{
    Plot p("4,7\r\n");
    p.draw();
    EXPECT_EQ(OpsOf(p.picture, Op::PSet).size(), 1u);
    EXPECT_EQ(OpsOf(p.picture, Op::LineTo).size(), 1u);
    EXPECT_EQ(OpsOf(p.picture, Op::Circle).size(), 1u);
}

TEST(Draw, WithoutAFileOnlyClearsAndTakesTheSettings)
{
    test::Form f;
    f.window.SetText(Text12(0), "500");
    f.window.SetText(Field::Text4, "3");
    Command3_Click(1, f.state, f.window);
    EXPECT_EQ(f.picture.Commands().size(), 1u);
    EXPECT_EQ(f.state.ScaleXMax, 0);  // Clear scale still zeroes the maxima
    EXPECT_EQ(f.state.XColumn, 3);
    EXPECT_TRUE(f.window.Messages().empty());
    EXPECT_EQ(f.window.Text(Text2(0)), "");
}

TEST(Draw, LetsPendingEventsRunAtThreePoints)
{
    Plot p("0,0\r\n1,1\r\n");
    int calls = 0;
    std::string textAtSecond;
    p.window.onDoEvents = [&] {
        if (++calls == 2)
            textAtSecond = p.window.Text(Text2(0));
    };
    p.draw();
    EXPECT_EQ(calls, 3);
    EXPECT_EQ(textAtSecond, p.file.path());
}

TEST(DrawFailures, EndWithTheDataFileMessageAndKeepWhatWasDrawn)
{
    struct Case {
        const char* name;
        std::string content;
        const char* yColumn;
        int number;
    };
    const Case cases[] = {
        {"text in Y", "1,a\r\n", "2", 13},
        {"missing field", "1,10\r\n2\r\n3,30\r\n4,40\r\n", "2", 62},
        {"every X zero", "0,1\r\n0,2\r\n", "2", 5},
        {"product beyond Single", "1,1e39\r\n", "2", 6},
        {"margin beyond Single", "1,3.3e38\r\n", "2", 6},
        {"2001 records", records(2001), "2", 9},
    };
    for (const Case& c : cases) {
        Plot p(c.content, "0", c.yColumn);
        p.draw();
        ASSERT_EQ(p.window.Messages().size(), 1u) << c.name;
        const Message& m = p.window.Messages()[0];
        EXPECT_EQ(m.text,
            "This file includes error data or you may mistake column or skip indication. ("
                + std::to_string(c.number) + ")")
            << c.name;
        EXPECT_EQ(m.title, "Error");
        EXPECT_EQ(m.icon, MessageIcon::Exclamation);
    }
}

TEST(DrawFailures, AMissingFileLeavesTheClearedPlot)
{
    Plot p("1,2\r\n");
    p.state.DataFileName += ".gone";
    p.draw();
    EXPECT_EQ(
        p.message(), "This file includes error data or you may mistake column or skip indication. (53)");
    EXPECT_EQ(p.picture.Commands().size(), 1u);  // the first Cls
    EXPECT_EQ(p.state.FileScanned, 0);
}

TEST(DrawFailures, ATypedMaximumAloneGivesAScaleWithoutWidth)
{
    Plot p("1,2\r\n2,3\r\n");
    p.window.SetText(Text12(1), "600");
    p.draw();
    EXPECT_EQ(p.message(), "This file includes error data or you may mistake column or skip indication. (5)");
    EXPECT_TRUE(OpsOf(p.picture, Op::Scale).empty());
}

TEST(DrawFailures, APointTooFarOutsideAFixedScaleFails6AfterTheAxes)
{
    Plot p("1,1\r\n3e38,2\r\n");
    p.window.SetText(Text12(0), "1e-30");
    p.window.SetText(Text12(1), "10");
    p.draw();
    EXPECT_EQ(p.message(), "This file includes error data or you may mistake column or skip indication. (6)");
    EXPECT_EQ(OpsOf(p.picture, Op::Line).size(), 2u);  // the axes stay
    EXPECT_EQ(OpsOf(p.picture, Op::Circle).size(), 1u);  // and the first point
}

TEST(DrawFailures, AFailureWhileTheNameIsShownGivesTheSecondMessage)
{
    Plot p("1,2\r\n");
    int calls = 0;
    p.window.onDoEvents = [&] {
        if (++calls == 2)
            throw Failure(70);
    };
    p.draw();
    ASSERT_EQ(p.window.Messages().size(), 1u);
    EXPECT_EQ(p.message(), "This output data file has been opened by another application. (70)");
    EXPECT_EQ(p.window.Messages()[0].title, "Error");
    EXPECT_EQ(p.state.FileScanned, 0);  // the scan never started
}

}  // namespace
}  // namespace tenso
