#include "analysis/modulus.h"
#include "curve.h"
#include "state/number_text.h"

#include <gtest/gtest.h>

#include <functional>

namespace tenso {
namespace {

using test::Form;
using test::Op;

constexpr int16_t Secant = 1;

// A polyline whose crossings are exact in binary: YMax 100, so the default levels are 20 and 60.
// 20 is crossed on the segment (1, 4)-(2, 36): X = 1 + 16/32 = 1.5; 60 on (3, 52)-(4, 68):
// X = 3 + 8/16 = 3.5. Modulus (60 - 20) / (3.5 - 1.5) = 20.
void setPolyline(SharedState& s)
{
    test::SetCurve(s, {{1, 4}, {2, 36}, {3, 52}, {4, 68}, {5, 100}, {6, 90}});
    s.ScaleYMin = -10;
    s.ScaleYMax = 110;
    s.MarkerRadius = 0.5f;
}

TEST(Secant, DefaultLevelsJoinTheTwentyAndSixtyPerCentCrossings)
{
    Form f;
    setPolyline(f.state);
    test::SetValleys(f.state, {{2.5f, 40}});
    test::MarkResultFields(f.window);

    Command1_Click(Secant, f.state, f.window);

    EXPECT_EQ(f.state.CalcStart, 20);
    EXPECT_EQ(f.state.CalcEnd, 60);
    EXPECT_EQ(f.state.OffsetValue, 2000);
    EXPECT_EQ(f.state.Modulus, 20);
    EXPECT_EQ(f.window.Text(Field::Text7), "20");
    EXPECT_EQ(f.window.Text(Field::Text9), "100");
    EXPECT_EQ(f.window.Text(Field::Text8), "");
    EXPECT_EQ(f.window.Text(Field::Text16), "");
    // The yield strength is shown by the common steps and emptied again.
    EXPECT_EQ(f.window.Text(Field::Text15), "");
    EXPECT_TRUE(f.window.Messages().empty());

    // The secant through (1.5, 20) with slope 20 meets the bottom edge (-10) at X = 1.5 - 30/20 = 0
    // and the top edge (110) at X = 1.5 + 90/20 = 6. Then the markers, ring by ring: start, end, max.
    const auto& drawn = f.picture.Commands();
    ASSERT_EQ(drawn.size(), 1u + 3 * 17);
    EXPECT_EQ(drawn[0], test::Line(0, 10, 6, -110, colors::Red));
    test::ExpectMarkers(
        drawn, 1, {{1.5f, 20, colors::Red}, {3.5f, 60, colors::Red}, {5, 100, colors::Black}}, 0.5f);
}

struct CrossingCase {
    const char* name;
    std::function<void(SharedState&)> curve;
    const char* start;
    const char* end;
    float startX, startLevel, endX, endLevel;
    const char* modulus;
};

// The start and end points are read from the centres of the first two rings.
TEST(Secant, FindsTheCrossingsTheScanDefines)
{
    const CrossingCase cases[] = {
        // The first record lies above 20 already: A = 0, and 20 is reached on the segment from the
        // origin to (1, 32): X = 20/32 = 0.625. 60 lies on (2, 56)-(7, 88): X = 2 + 4 x 5/32 = 2.625.
        {"first record above the start level",
            [](SharedState& s) {
                test::SetCurve(s, {{1, 32}, {2, 56}, {7, 88}, {8, 100}});
            },
            "20", "60", 0.625f, 20, 2.625f, 60, "20"},
        // The curve passes 20 at X 1.5, dips to 12 at record 3 and rises again: the last record at or
        // below 20 is record 3, so 20 is taken on (3, 12)-(4, 44): X = 3 + 8/32 = 3.25. 60 on (5, 52)-
        // (6, 84): X = 5 + 8/32 = 5.25. Modulus 40 / 2 = 20.
        {"dip below the start level",
            [](SharedState& s) {
                test::SetCurve(s, {{1, 4}, {2, 36}, {3, 12}, {4, 44}, {5, 52}, {6, 84}, {7, 100}});
            },
            "20", "60", 3.25f, 20, 5.25f, 60, "20"},
        // Start 60, End 20: the scan stops at record 2 (36 > 20), which is also the last record at or
        // below 60, so A = 2 and 60 is taken on (2, 36)-(3, 52): X = 2 + 24/16 = 3.5; B = 1 and 20 on
        // (1, 4)-(2, 36): X = 1.5. Modulus (20 - 60) / (1.5 - 3.5) = 20.
        {"start above end", setPolyline, "60", "20", 3.5f, 60, 1.5f, 20, "20"},
        // Both levels 40: one crossing, on (2, 36)-(3, 52) at X = 2 + 4/16 = 2.25, twice.
        {"start equal to end", setPolyline, "40", "40", 2.25f, 40, 2.25f, 40, "999999"},
        // Whatever follows the number is ignored: "20 %" reads as 20.
        {"per-cent signs", setPolyline, "20 %", "60%", 1.5f, 20, 3.5f, 60, "20"},
    };
    for (const CrossingCase& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        c.curve(f.state);
        f.state.MarkerRadius = 1;
        f.window.SetText(Field::Text1, c.start);
        f.window.SetText(Field::Text3, c.end);
        Command1_Click(Secant, f.state, f.window);

        EXPECT_TRUE(f.window.Messages().empty());
        EXPECT_EQ(f.window.Text(Field::Text7), c.modulus);
        const auto circles = test::OpsOf(f.picture, Op::Circle);
        ASSERT_EQ(circles.size(), 3u * 17);
        EXPECT_EQ(circles[0].a, c.startX);
        EXPECT_EQ(circles[0].b, -c.startLevel);
        EXPECT_EQ(circles[1].a, c.endX);
        EXPECT_EQ(circles[1].b, -c.endLevel);
    }
}

TEST(Secant, StartEqualToEndDrawsAnAlmostVerticalSecant)
{
    Form f;
    setPolyline(f.state);
    f.window.SetText(Field::Text1, "40");
    f.window.SetText(Field::Text3, "40");
    Command1_Click(Secant, f.state, f.window);
    EXPECT_EQ(f.state.Modulus, 999999);
    // Through (2.25, 40) with slope 999999: at -10, X = 2.25 - 50/999999; at 110, X = 2.25 + 70/999999.
    const auto lines = test::OpsOf(f.picture, Op::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].a, 2.25 - 50 / 999999.0, 1e-6);
    EXPECT_EQ(lines[0].b, 10);
    EXPECT_NEAR(lines[0].c, 2.25 + 70 / 999999.0, 1e-6);
    EXPECT_EQ(lines[0].d, -110);
}

struct FailureCase {
    const char* name;
    std::function<void(Form&)> setup;
    const char* message;
    bool resultsShown;  // the failure comes after the display step
};

TEST(Secant, FailuresStopAtTheirStepWithAMessage)
{
    const FailureCase cases[] = {
        {"no curve read", [](Form&) {}, "There is no curve to evaluate.", false},
        // End 100: no record exceeds YMax, so the end point would need the record after the last one,
        // which here holds an earlier file's (1000, 1000).
        {"end level never exceeded",
            [](Form& f) {
                setPolyline(f.state);
                f.state.XData[7] = 1000;
                f.state.YData[7] = 1000;
                f.window.SetText(Field::Text3, "100");
            },
            "The curve never rises above the end level.", false},
        // All 2000 records below End 100: the record after the last lies beyond the arrays.
        {"end level never exceeded in a full file",
            [](Form& f) {
                for (size_t i = 1; i <= 2000; ++i) {
                    f.state.XData[i] = static_cast<float>(i);
                    f.state.YData[i] = static_cast<float>(i);
                }
                f.state.PointCount = 2000;
                f.state.YMax = 2000;
                f.window.SetText(Field::Text3, "100");
            },
            "The curve never rises above the end level.", false},
        // End 100 on a curve that breaks off below the start level: records 10, 50, 100, 5 give A = 4
        // (5 <= 20) and no record above 100, so both crossings would need a fifth record. What is
        // missing is a record above the end level.
        {"end level never exceeded, last record below the start level",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 10}, {2, 50}, {3, 100}, {4, 5}});
                f.window.SetText(Field::Text3, "100");
            },
            "The curve never rises above the end level.", false},
        // Start 100, End 90 on a curve that ends at its maximum: the scan stops at the last record,
        // which is also the last one at or below the start level.
        {"start level never exceeded",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 4}, {2, 36}, {3, 52}, {4, 68}, {5, 100}});
                f.window.SetText(Field::Text1, "100");
                f.window.SetText(Field::Text3, "90");
            },
            "The curve never rises above the start level.", false},
        // Start 60, End 40: A is record 3 (52), and records 3 and 4 have the same Y.
        {"flat crossing",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 4}, {2, 36}, {3, 52}, {4, 52}, {5, 100}});
                f.window.SetText(Field::Text1, "60");
                f.window.SetText(Field::Text3, "40");
            },
            "The curve is flat where it crosses the start level.", false},
        {"start beyond the Single range", [](Form& f) { f.window.SetText(Field::Text1, "1e39"); },
            "The number in Start is too large.", false},
        // The offset is read by both buttons, also where only Tangent uses it.
        {"offset beyond the double range", [](Form& f) { f.window.SetText(Field::Text6, "1e400"); },
            "The number in Offset is too large.", false},
        // 200 % of 3e38 is 6e38.
        {"start level beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 0}, {2, 3e38f}});
                f.window.SetText(Field::Text1, "200");
            },
            "The start level is too large.", false},
        // Levels 3e37 and 2.7e38 on (1, 0)-(1.5, 3e38): X 1.05 and 1.45, so the modulus is
        // 2.4e38 / 0.4 = 6e38.
        {"modulus beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 0}, {1.5f, 3e38f}});
                f.window.SetText(Field::Text1, "10");
                f.window.SetText(Field::Text3, "90");
            },
            "The elastic modulus is too large.", false},
        // A failed read of a 2001-record file leaves PointCount 2001; the scan passes record 2000.
        {"more records than the arrays hold",
            [](Form& f) {
                for (size_t i = 1; i <= 2000; ++i)
                    f.state.YData[i] = 1;
                f.state.PointCount = 2001;
                f.state.YMax = 100;
            },
            "The curve has more than 2000 records.", false},
        // Levels 0.2 and 0.6 on (1, 0)-(3e38, 1): X 6e37 and 1.8e38, modulus 0.4 / 1.2e38 = 3.3e-39;
        // the top edge 2 lies 1.8 / 3.3e-39 = 5.4e38 to the right: the fields are written, nothing drawn.
        {"secant beyond the Single range",
            [](Form& f) {
                test::SetCurve(f.state, {{1, 0}, {3e38f, 1}});
                f.state.ScaleYMax = 2;
            },
            "The secant is too long to draw.", true},
    };
    for (const FailureCase& c : cases) {
        SCOPED_TRACE(c.name);
        Form f;
        f.state.MarkerRadius = 1;
        f.state.Modulus = 7;
        c.setup(f);
        test::MarkResultFields(f.window);

        Command1_Click(Secant, f.state, f.window);

        ASSERT_EQ(f.window.Messages().size(), 1u);
        EXPECT_EQ(f.window.Messages()[0], (Message {c.message, "Error", MessageIcon::Exclamation}));
        EXPECT_TRUE(f.picture.Commands().empty());
        if (c.resultsShown) {
            EXPECT_NE(f.window.Text(Field::Text7), "was Text7");
            EXPECT_EQ(f.window.Text(Field::Text8), "");
        } else {
            EXPECT_EQ(f.state.Modulus, 7);
            for (Field r : {Field::Text7, Field::Text8, Field::Text16, Field::Text9, Field::Text15})
                EXPECT_EQ(f.window.Text(r), std::string("was ") + ControlName(r));
        }
    }
}

}  // namespace
}  // namespace tenso
