#include "analysis/modulus.h"
#include "curve.h"
#include "state/number_text.h"

#include <gtest/gtest.h>

#include <functional>

namespace tenso {
namespace {

using test::Form;
using test::Op;

constexpr int16_t Tangent = 0;

void setRange(Form& f, const char* start, const char* end, const char* offset = "2000")
{
    f.window.SetText(Field::Text1, start);
    f.window.SetText(Field::Text3, end);
    f.window.SetText(Field::Text6, offset);
}

// The shown value, as a Single, for values that are not exact in binary.
float shown(const Form& f, Field field) { return static_cast<float>(Val(f.window.Text(field))); }

TEST(Tangent, LeastSquaresSlopeOverFortyOnePoints)
{
    // Y = X^2 on records X = 1 to 80. Over 20..60 the least-squares slope of a parabola is its
    // derivative at the middle: with j = X - 40 from -20 to 20, sum j (j + 40)^2 = 80 sum j^2, so the
    // slope is 80 exactly (means 1640/41 = 40 and 71340/41 = 1740). A range of 40 points, or the
    // wrong n in the means, gives another value (21..60: 81; n = 40 in the means: 79.74).
    Form f;
    for (size_t i = 1; i <= 80; ++i) {
        f.state.XData[i] = static_cast<float>(i);
        f.state.YData[i] = static_cast<float>(i * i);
    }
    f.state.PointCount = 80;
    f.state.YMax = 6400;
    f.state.XAtYMax = 80;
    f.state.MarkerRadius = 1;
    Command1_Click(Tangent, f.state, f.window);
    EXPECT_TRUE(f.window.Messages().empty());
    EXPECT_EQ(f.window.Text(Field::Text7), "80");
    EXPECT_EQ(f.window.Text(Field::Text9), "6400");
}

// Records (1, 10), (2, 20), (3, 30) give the modulus 10 (means 2 and 20, sum of squares 2, sum of
// products 20); the curve then bends over.
void setBendingCurve(SharedState& s)
{
    test::SetCurve(s, {{1, 10}, {2, 20}, {3, 30}, {4, 35}, {5, 38}, {6, 40}});
    s.ScaleYMax = 45;
    s.ScaleYMin = -4.5f;
    s.MarkerRadius = 0.25f;
}

TEST(Tangent, ShowsTheResultsAndDrawsLinesThenMarkersThenTheLastValley)
{
    Form f;
    setBendingCurve(f.state);
    test::SetValleys(f.state, {{2.5f, 15}, {3.5f, 25}});
    f.state.ValleyIndex = 1;  // stepped back to the first valley: Tangent still marks the last
    setRange(f, "1", "3", "0.5");
    test::MarkResultFields(f.window);

    Command1_Click(Tangent, f.state, f.window);

    // Offset line Y = 10 (X - 0.5). The first two segments run parallel to it; (3, 30)-(4, 35) has
    // slope 5 and meets it where 30 + 5 (X - 3) = 10 X - 5: X = 4, Y = 35, on the segment.
    EXPECT_TRUE(f.window.Messages().empty());
    EXPECT_EQ(f.state.Modulus, 10);
    EXPECT_EQ(f.state.OffsetLineY, 35);
    EXPECT_EQ(f.window.Text(Field::Text7), "10");
    EXPECT_EQ(f.window.Text(Field::Text8), "35");
    EXPECT_EQ(f.window.Text(Field::Text16), "4");
    EXPECT_EQ(f.window.Text(Field::Text9), "40");
    EXPECT_EQ(f.window.Text(Field::Text15), "25");

    // Lines from the X axis to the top edge 45: the modulus line to X = 4.5, the offset line from 0.5
    // to 5. Then the offset point (blue) and the maximum (black) ring by ring, then the grey rings.
    const auto& drawn = f.picture.Commands();
    ASSERT_EQ(drawn.size(), 2u + 2 * 17 + 17);
    EXPECT_EQ(drawn[0], test::Line(0, 0, 4.5f, -45, colors::Red));
    EXPECT_EQ(drawn[1], test::Line(0.5f, 0, 5, -45, colors::Blue));
    const size_t next = test::ExpectMarkers(drawn, 2, {{4, 35, colors::Blue}, {6, 40, colors::Black}}, 0.25f);
    test::ExpectMarkers(drawn, next, {{3.5f, 25, colors::Grey}}, 0.25f);
}

TEST(Tangent, WithoutAValleyNoGreyMarkerAndYieldStrengthKeepsItsText)
{
    for (bool zeroLastValley : {false, true}) {
        SCOPED_TRACE(zeroLastValley ? "last valley at Y 0" : "no valley");
        Form f;
        setBendingCurve(f.state);
        if (zeroLastValley)
            test::SetValleys(f.state, {{2.5f, 15}, {0, 0}});
        setRange(f, "1", "3", "0.5");
        f.window.SetText(Field::Text15, "348.5");
        Command1_Click(Tangent, f.state, f.window);
        EXPECT_EQ(f.window.Text(Field::Text15), "348.5");
        EXPECT_EQ(f.picture.Commands().size(), 2u + 2 * 17);
    }
}

TEST(Tangent, RejectsRangesOutsideTheRecords)
{
    struct Range {
        const char* start;
        const char* end;
    };
    // Ten records; each range breaks one rule of the check.
    const Range rejected[] = {
        {"0", "5"},
        {"0.99", "5"},
        {"1", "0"},
        {"5", "5"},
        {"6", "5"},
        {"1", "11"},
        {"11", "12"},
        {"1", "10.5"},
        {"", ""},
        {"abc", "5"},
    };
    for (const Range& r : rejected) {
        SCOPED_TRACE(std::string(r.start) + ".." + r.end);
        Form f;
        test::SetCurve(
            f.state, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 9}});
        test::SetValleys(f.state, {{9, 9}});
        f.state.Modulus = 7;
        setRange(f, r.start, r.end);
        test::MarkResultFields(f.window);

        Command1_Click(Tangent, f.state, f.window);

        ASSERT_EQ(f.window.Messages().size(), 1u);
        EXPECT_EQ(f.window.Messages()[0], (Message {"Choice the proper steps", "tenso", MessageIcon::None}));
        EXPECT_TRUE(f.picture.Commands().empty());
        EXPECT_EQ(f.state.Modulus, 7);
        for (Field field : {Field::Text7, Field::Text8, Field::Text16, Field::Text9})
            EXPECT_EQ(f.window.Text(field), std::string("was ") + ControlName(field));
        EXPECT_EQ(f.window.Text(Field::Text15), "9");  // the common steps ran before the check
    }
}

TEST(Tangent, RangeCheckIsInSinglePrecisionAndRejectsEveryRangeBeforeARead)
{
    Form f;
    Command1_Click(Tangent, f.state, f.window);  // PointCount 0: the defaults 20..60 fail
    ASSERT_EQ(f.window.Messages().size(), 1u);
    EXPECT_EQ(f.window.Messages()[0].text, "Choice the proper steps");

    // 10.0000001 rounds to the Single 10, which does not exceed PointCount 10.
    Form g;
    test::SetCurve(
        g.state, {{1, 1}, {2, 2}, {3, 3}, {4, 4}, {5, 5}, {6, 6}, {7, 7}, {8, 8}, {9, 9}, {10, 10}});
    g.state.MarkerRadius = 1;
    setRange(g, "1", "10.0000001");
    Command1_Click(Tangent, g.state, g.window);
    EXPECT_TRUE(g.window.Messages().empty());
    EXPECT_EQ(g.window.Text(Field::Text7), "1");
}

TEST(Tangent, FractionalBoundsVisitRecordsRoundedHalfToEven)
{
    // Start 1.5, End 4.5: the counter takes 1.5, 2.5, 3.5, 4.5, which round to records 2, 2, 4, 4
    // (half up would give 2, 3, 4, 5; truncation 1, 2, 3, 4); n = 4.5 - 1.5 + 1 = 4. X 2, 2, 4, 4 and
    // Y 10, 10, 30, 30: means 3 and 20, squares 4, products 2 (10 + 10) = 40: modulus 10.
    Form f;
    test::SetCurve(f.state, {{1, 0}, {2, 10}, {3, 100}, {4, 30}, {5, 1000}});
    f.state.MarkerRadius = 1;
    setRange(f, "1.5", "4.5");
    Command1_Click(Tangent, f.state, f.window);
    EXPECT_TRUE(f.window.Messages().empty());
    EXPECT_EQ(f.window.Text(Field::Text7), "10");
}

TEST(Tangent, SegmentsParallelToTheModulusLineAreSkipped)
{
    // First segment parallel, and its X span (-1..0) holds 0: the unset offset point counts as 0 and
    // stops the search at once. "at" stays empty, "Offset strength" shows what the previous
    // calculation left, and the blue marker stands at X 0.
    Form f;
    test::SetCurve(f.state, {{-1, -10}, {0, 0}, {1, 10}, {2, 15}});
    f.state.OffsetLineY = 123;
    f.state.MarkerRadius = 1;
    setRange(f, "1", "3", "0.5");
    Command1_Click(Tangent, f.state, f.window);
    EXPECT_EQ(f.window.Text(Field::Text7), "10");
    EXPECT_EQ(f.window.Text(Field::Text8), "123");
    EXPECT_EQ(f.window.Text(Field::Text16), "");
    const auto circles = test::OpsOf(f.picture, Op::Circle);
    ASSERT_FALSE(circles.empty());
    EXPECT_EQ(circles[0], test::Circle(0, -123, circles[0].c, colors::Blue));

    // Offset 2, line Y = 10 X - 20. (3, 30)-(4, 32), slope 2, meets it where 32 + 2 (X - 4) = 10 X - 20:
    // X = 5.5, Y = 35, off the segment. (4, 32)-(5, 42) runs parallel and keeps 5.5, which is not on
    // it; (5, 42)-(6, 52) runs parallel too and 5.5 lies on it: the search stops with (5.5, 35).
    Form g;
    test::SetCurve(g.state, {{1, 10}, {2, 20}, {3, 30}, {4, 32}, {5, 42}, {6, 52}});
    g.state.MarkerRadius = 1;
    setRange(g, "1", "3", "2");
    Command1_Click(Tangent, g.state, g.window);
    EXPECT_EQ(g.window.Text(Field::Text8), "35");
    EXPECT_EQ(g.window.Text(Field::Text16), "5.5");
}

TEST(Tangent, VerticalSegmentAcceptsTheOffsetLineBetweenItsEndsEitherWay)
{
    struct Case {
        const char* offset;
        float y5;  // the vertical segment runs from (4, 40) to (4, y5)
        float atX, strength;
    };
    // Records 1 to 4 lie on Y = 10 X (parallel to the modulus line: the offset point stays unset),
    // then (4, 40)-(4, y5) and (4, y5)-(5, 100). At X 4 the offset line has Y 10 (4 - Offset).
    const Case cases[] = {
        {"2", 18, 4, 20},  // falls from 40 to 18 through 20
        {"2", 20, 4, 20},  // ends at 20: the ends count
        // 25 does not reach 20; (4, 25)-(5, 100), slope 75, meets 10 X - 20 at X = 255/65, Y = 1250/65,
        // off the segment; the search ends there.
        {"2", 25, 255.0f / 65, 1250.0f / 65},
        {"-2", 70, 4, 60},  // rises from 40 to 70 through 60
        {"-2", 60, 4, 60},
        // 55 does not reach 60; (4, 55)-(5, 100), slope 45, meets 10 X + 20 at X = 145/35 (on it),
        // Y = 2150/35.
        {"-2", 55, 145.0f / 35, 2150.0f / 35},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string("offset ") + c.offset + ", to " + std::to_string(c.y5));
        Form f;
        test::SetCurve(f.state, {{1, 10}, {2, 20}, {3, 30}, {4, 40}, {4, c.y5}, {5, 100}});
        f.state.MarkerRadius = 1;
        setRange(f, "1", "3", c.offset);
        Command1_Click(Tangent, f.state, f.window);
        EXPECT_TRUE(f.window.Messages().empty());
        EXPECT_FLOAT_EQ(shown(f, Field::Text16), c.atX);
        EXPECT_FLOAT_EQ(shown(f, Field::Text8), c.strength);
    }
}

TEST(Tangent, WithoutAMeetingPointTheLastSegmentGivesTheValues)
{
    // Offset 100: Y = 10 (X - 100) meets the line through (3, 30)-(4, 35) where 30 + 5 (X - 3) =
    // 10 X - 1000: X = 203, Y = 1030, far beyond the curve.
    Form f;
    test::SetCurve(f.state, {{1, 10}, {2, 20}, {3, 30}, {4, 35}});
    f.state.MarkerRadius = 1;
    setRange(f, "1", "3", "100");
    Command1_Click(Tangent, f.state, f.window);
    EXPECT_TRUE(f.window.Messages().empty());
    EXPECT_EQ(f.window.Text(Field::Text8), "1030");
    EXPECT_EQ(f.window.Text(Field::Text16), "203");
}

TEST(Tangent, FailuresStopAtTheirStepWithAMessage)
{
    struct Case {
        const char* name;
        std::function<void(Form&)> setup;
        const char* message;
        bool resultsShown;
        float modulus = 7;  // 7: as the previous calculation left it
    };
    const Case cases[] = {
        {"all X equal",
            [](Form& f) {
                test::SetCurve(f.state, {{5, 1}, {5, 2}, {5, 3}, {6, 4}});
            },
            "All X values in the range are equal.", false},
        {"sums beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{3e38f, 1}, {3.2e38f, 2}, {3.3e38f, 3}, {3.4e38f, 4}});
            },
            "A sum over the range is too large.", false},
        // X 1, 1 + 2^-23, 1 and Y 0, 1e38, 0: the mean X rounds to 1, so the sum of squares is 2^-46
        // and the sum of products 2^-23 x 2/3 1e38: a slope near 5.6e44.
        {"modulus beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 0}, {1.00000012f, 1e38f}, {1, 0}, {2, 1e38f}});
            },
            "The elastic modulus is too large.", false},
        {"more records than the arrays hold",
            [](Form& f) {
                for (size_t i = 1; i <= 2000; ++i)
                    f.state.XData[i] = static_cast<float>(i);
                f.state.PointCount = 2001;
                f.window.SetText(Field::Text1, "1990");
                f.window.SetText(Field::Text3, "2001");
            },
            "The curve has more than 2000 records.", false},
        // -Offset x Modulus = -3e39 where (3, 30)-(4, 35) is reached.
        {"offset strength beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 10}, {2, 20}, {3, 30}, {4, 35}});
                f.window.SetText(Field::Text6, "3e38");
            },
            "The offset strength is too large.", false, 10},
        // Flat over the range: the modulus 0 is shown, but no line of slope 0 reaches the top edge.
        {"zero modulus",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 5}, {2, 5}, {3, 5}, {4, 8}});
            },
            "The elastic modulus is zero, so its lines cannot be drawn.", true},
        // Modulus 1e-37: the top edge 100 lies 1e39 to the right.
        {"modulus line beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 0}, {2, 1e-37f}, {3, 2e-37f}, {4, 3e-37f}});
                f.state.ScaleYMax = 100;
            },
            "The modulus line is too long to draw.", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        f.state.MarkerRadius = 1;
        f.state.Modulus = 7;
        f.window.SetText(Field::Text1, "1");
        f.window.SetText(Field::Text3, "3");
        c.setup(f);
        test::MarkResultFields(f.window);

        Command1_Click(Tangent, f.state, f.window);

        ASSERT_EQ(f.window.Messages().size(), 1u);
        EXPECT_EQ(f.window.Messages()[0], (Message {c.message, "Error", MessageIcon::Exclamation}));
        EXPECT_TRUE(f.picture.Commands().empty());
        if (c.resultsShown) {
            EXPECT_NE(f.window.Text(Field::Text7), "was Text7");
        } else {
            EXPECT_EQ(f.state.Modulus, c.modulus);
            for (Field r : {Field::Text7, Field::Text8, Field::Text16, Field::Text9})
                EXPECT_EQ(f.window.Text(r), std::string("was ") + ControlName(r));
        }
    }
}

TEST(CommonSteps, AnyOtherIndexOnlyTakesTheFieldsAndShowsTheLastValley)
{
    Form f;
    test::SetCurve(f.state, {{1, 10}, {2, 20}, {3, 30}});
    test::SetValleys(f.state, {{1.5f, 12}, {2.5f, 348.49f}});
    f.state.ValleyIndex = 1;
    setRange(f, "2.5", "7 steps", "0.2");
    test::MarkResultFields(f.window);
    Command1_Click(2, f.state, f.window);
    EXPECT_EQ(f.state.CalcStart, 2.5f);
    EXPECT_EQ(f.state.CalcEnd, 7);
    EXPECT_EQ(f.state.OffsetValue, 0.2f);
    EXPECT_EQ(f.window.Text(Field::Text15), "348.49");
    EXPECT_EQ(f.window.Text(Field::Text7), "was Text7");
    EXPECT_TRUE(f.picture.Commands().empty());
    EXPECT_TRUE(f.window.Messages().empty());
}

}  // namespace
}  // namespace tenso
