// The quantities of ISO 6892-1 on small curves whose values follow by hand. The files give stress
// (MPa) and strain (a fraction) directly, so that only the evaluation is under test.
#include "standard/evaluation.h"

#include "support/temp_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tenso::standard {
namespace {

using test::TempFile;

struct Point {
    double e, R;
};

Result evaluate(const std::vector<Point>& points, Options options = {}, bool keepCurve = false)
{
    std::string content = "Strain;Stress\n";
    for (const Point& p : points)
        content += std::to_string(p.e) + ";" + std::to_string(p.R) + "\n";
    TempFile file(content);
    return EvaluateFile(file.path(), options, keepCurve);
}

// Elastic below 200 MPa on R = 200000 (e - 0.0005): slack of 0.05 %, then plastic flow to a maximum
// of 400 MPa at record 11 and a fall of 270 MPa after record 12.
const std::vector<Point> Continuous {
    {0.0006, 20},
    {0.0007, 40},
    {0.0008, 60},
    {0.0009, 80},
    {0.0010, 100},
    {0.0011, 120},
    {0.0012, 140},
    {0.0013, 160},
    {0.0014, 180},
    {0.0015, 200},
    {0.0045, 300},
    {0.0100, 400},
    {0.0200, 370},
    {0.0250, 100},
};

// On R = 200000 e up to 300 MPa at record 11, then a yield region up to record 18.
std::vector<Point> withYield(const std::vector<Point>& region)
{
    std::vector<Point> points;
    for (int i = 0; i <= 10; ++i)
        points.push_back({25.0 * i / 200000, 25.0 * i});
    points.push_back({0.0015, 300});
    points.insert(points.end(), region.begin(), region.end());
    points.push_back({0.0050, 310});
    points.push_back({0.0200, 500});
    points.push_back({0.0300, 480});
    return points;
}

const std::vector<Point> ThreeMinima {
    {0.0018, 280}, {0.0021, 295}, {0.0024, 290}, {0.0027, 296}, {0.0030, 288}, {0.0033, 293}};

bool hasNote(const Result& r, const std::string& start)
{
    for (const std::string& note : r.notes)
        if (note.rfind(start, 0) == 0)
            return true;
    return false;
}

TEST(EvaluateCurve, ModulusOriginAndProofStrengthByHand)
{
    Options o;
    o.proofPercents = {0.2, 0.5, 5};
    o.modulus = ModulusMethod::Passes;
    const Result r = evaluate(Continuous, o, true);
    ASSERT_FALSE(r.error) << *r.error;
    // Pass 1: 10 % to 40 % of Rm = 400: lo 40, hi 160: records 1..7 up to the first above 160.
    // Pass 1 finds no yield point, so Y1 = Rp0.2 = 280 (below); pass 2: 28 to 140 MPa, records 1..6,
    // all on the line: E = 200000 MPa, c = -100 MPa, e0 = -c / E = 0.0005.
    ASSERT_TRUE(r.E);
    EXPECT_EQ(r.E->method, FitMethod::Passes);
    EXPECT_FALSE(r.E->sdar);
    EXPECT_EQ(r.E->pass, 2);
    EXPECT_EQ(r.E->points, 6u);
    EXPECT_NEAR(r.E->lo, 28, 1e-9);
    EXPECT_NEAR(r.E->hi, 140, 1e-9);
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_NEAR(r.E->r2, 1, 1e-12);
    EXPECT_NEAR(*r.e0, 0.0005, 1e-12);
    // g = R - E (eps - 0.002): g9 = 200 - 2e5 (0.001 - 0.002) = 400, g10 = 300 - 2e5 (0.004 - 0.002)
    // = -100; t = 400 / 500 = 0.8: Rp0.2 = 200 + 0.8 100 = 280 at 0.001 + 0.8 0.003 = 0.0034.
    ASSERT_EQ(r.Rp.size(), 3u);
    EXPECT_EQ(r.Rp[0].key, "0.2");
    EXPECT_NEAR(*r.Rp[0].MPa, 280, 1e-6);
    EXPECT_NEAR(*r.Rp[0].strain, 0.0034, 1e-12);
    EXPECT_NEAR(*r.Rp[0].index, 9.8, 1e-9);
    // Offset 0.5 %: g10 = 300 + 200 = 500, g11 = 400 - 2e5 (0.0095 - 0.005) = -500: t = 0.5,
    // Rp0.5 = 350 at 0.004 + 0.5 0.0055 = 0.00675.
    EXPECT_NEAR(*r.Rp[1].MPa, 350, 1e-6);
    EXPECT_NEAR(*r.Rp[1].strain, 0.00675, 1e-12);
    // 5 % lies beyond the fracture.
    EXPECT_EQ(r.Rp[2].key, "5");
    EXPECT_FALSE(r.Rp[2].MPa);
    EXPECT_TRUE(hasNote(r, "Rp5 not reached"));
    EXPECT_TRUE(hasNote(r, "E from pass 2"));
    // No fall before the maximum: continuous yielding.
    EXPECT_FALSE(r.ReH);
    EXPECT_FALSE(r.ReL);
    EXPECT_FALSE(r.Ae);
    EXPECT_TRUE(hasNote(r, "continuous yielding"));
    // Rm = 400 at record 11 (eps 0.0095): Agt = 0.95 %, Ag = 0.95 - 400 / 2e5 100 = 0.75 %.
    EXPECT_EQ(*r.Rm, 400);
    EXPECT_EQ(*r.indexRm, 11u);
    EXPECT_FALSE(r.Fm);  // a stress column
    EXPECT_NEAR(*r.Agt, 0.95, 1e-9);
    EXPECT_NEAR(*r.Ag, 0.75, 1e-9);
    // 370 - 100 > 40 (10 % of Rm) after record 12: f = 12, Rf = 370, At = 1.95 %,
    // A = At - Rf / E 100 = 1.95 - 0.185 = 1.765 %.
    EXPECT_EQ(*r.indexFracture, 12u);
    EXPECT_EQ(*r.Rf, 370);
    EXPECT_NEAR(*r.At, 1.95, 1e-9);
    EXPECT_NEAR(*r.A, 1.765, 1e-9);
    EXPECT_TRUE(*r.A_from_curve);
    EXPECT_TRUE(hasNote(r, "A from the curve"));
    EXPECT_EQ(*r.records, 14u);
    EXPECT_EQ(r.curve.stress.size(), 13u);  // records after the fracture are not evaluated
    EXPECT_EQ(r.curve.strain[12], 0.02);
    EXPECT_FALSE(r.Z);
}

TEST(EvaluateCurve, ModulusBySdarByDefault)
{
    Options o;
    o.proofPercents = {0.2, 0.5};
    const Result r = evaluate(Continuous, o);
    ASSERT_FALSE(r.error) << *r.error;
    // R_1 = 20 is the lowest stress, so a = record 0. Ymax = 380, o = record 1 (Y 20 > 19); from
    // P = (X_1, 20 + 0.15 x 380 = 77) the slope to the line, (20 i - 77) / (0.0001 (i - 1)), is
    // steepest at its end, record 9; record 10 gives 203 / 0.0038. N = 10 = Nmin: the one window is
    // records 0..9, which ends at t; from P = (X_1, 96) the line still ends steepest at record 9, so
    // the window stands. Its fit is the line: E = 200 GPa, c = -100 MPa, e0 = 0.0005 as by the passes.
    ASSERT_TRUE(r.E);
    EXPECT_EQ(r.E->method, FitMethod::Sdar);
    EXPECT_FALSE(r.E->pass);
    EXPECT_EQ(r.E->points, 10u);
    EXPECT_NEAR(r.E->lo, 20, 1e-9);
    EXPECT_NEAR(r.E->hi, 200, 1e-9);
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_NEAR(*r.e0, 0.0005, 1e-12);
    ASSERT_TRUE(r.E->sdar);
    EXPECT_EQ(r.E->sdar->records, 10u);
    EXPECT_EQ(r.E->sdar->raises, 0u);
    // The window's strain runs from 0.0006 to 0.0015: its first quarter (up to 0.000825) and its last
    // (from 0.001275) hold 3 records each, too few for the residual slopes. The fit range is
    // 0.4 x 180 / (200 - 20) = 0.4.
    EXPECT_EQ(r.E->sdar->q1_points, 3u);
    EXPECT_EQ(r.E->sdar->q4_points, 3u);
    EXPECT_NEAR(*r.E->sdar->fit_range, 0.4, 1e-12);
    EXPECT_FALSE(r.E->sdar->passed);
    EXPECT_TRUE(hasNote(r,
        "E by SDAR (ASTM E3076) from 20 to 200 MPa, 10 of the 10 records below the tangency point at 200 "
        "MPa"));
    EXPECT_TRUE(hasNote(r, "E fails checks of ASTM E3076: relative residual slope "));
    // Items 4 to 7 start at the window's last record, 9: Rp0.2 and Rp0.5 as by the passes.
    EXPECT_NEAR(*r.Rp[0].MPa, 280, 1e-6);
    EXPECT_NEAR(*r.Rp[1].MPa, 350, 1e-6);
    EXPECT_NEAR(*r.Ag, 0.75, 1e-9);
}

TEST(EvaluateCurve, ThePassesWhenSdarFindsNoRise)
{
    // A curved rise to 520 MPa at record 20, a straight fall of 1 MPa a record to 491 at record 40,
    // then a climb to Rm = 1000: the straightest window of SDAR lies on the fall, so E would be
    // negative. The passes take over: pass 1 over 100 to 400 MPa finds ReH = 520 (the fall to 491 is
    // 5.6 % over 0.2 % strain), pass 2 fits 52 to 260 MPa.
    std::vector<Point> points;
    for (int i = 0; i <= 20; ++i)
        points.push_back({1e-4 * i, 25.0 * i + 0.05 * i * i});
    for (int i = 21; i <= 40; ++i)
        points.push_back({1e-4 * i, 510.0 - (i - 21)});
    for (int i = 41; i <= 45; ++i)
        points.push_back({1e-4 * i, 100.0 * (i - 35)});
    points.push_back({0.0046, 100});
    const Result r = evaluate(points);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_TRUE(hasNote(r, "SDAR: no rise below the tangency point; E from the passes"));
    EXPECT_EQ(r.E->method, FitMethod::Passes);
    EXPECT_EQ(r.E->pass, 2);
    EXPECT_FALSE(r.E->sdar);
    EXPECT_EQ(*r.ReH, 520);
}

TEST(EvaluateFile, ForceAndExtensionInTheirUnits)
{
    // The curve above as a machine gives it for S0 = 10 mm² and L0 = 50 mm: F = R S0 / 1000 in kN,
    // extension e L0 in mm, one record without extension and two footer lines. Rm = 400 MPa, Fm = 4 kN.
    std::string content = "Extension (mm);Force (kN)\n";
    for (const Point& p : Continuous)
        content += std::to_string(p.e * 50) + ";" + std::to_string(p.R / 100) + "\n";
    content += ";0,5\nMaximum;4\nEnd\n";  // no extension: skipped
    TempFile file(content);
    Options o;
    o.specimen.S0 = 10;
    o.specimen.L0 = 50;
    const Result r = EvaluateFile(file.path(), o, false);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_NEAR(*r.Rm, 400, 1e-9);
    EXPECT_NEAR(*r.Fm, 4, 1e-12);
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_NEAR(*r.At, 1.95, 1e-9);
    // ";0,5" holds one number: no data line, so it ends the table.
    EXPECT_EQ(*r.skipped, 0u);
    EXPECT_TRUE(hasNote(r, "3 lines after the table ignored"));
}

TEST(EvaluateCurve, FractureFallAndItsAbsence)
{
    // Without the last record no fall follows the maximum: f = the last record.
    std::vector<Point> noFall(Continuous.begin(), Continuous.end() - 1);
    const Result r = evaluate(noFall);
    EXPECT_EQ(*r.indexFracture, 12u);
    EXPECT_TRUE(hasNote(r, "no fall of over 10 % of Rm"));
    // A fall of 270 MPa is 67.5 % of Rm: with --fracture-drop 80 it is no fracture, and the last
    // record (eps 0.025 - 0.0005) is: Rf = 100, At = 2.45 %.
    Options o;
    o.fractureDropPercent = 80;
    const Result drop = evaluate(Continuous, o);
    EXPECT_EQ(*drop.indexFracture, 13u);
    EXPECT_EQ(*drop.Rf, 100);
    EXPECT_NEAR(*drop.At, 2.45, 1e-9);
}

TEST(EvaluateCurve, ElongationFromLuAndReductionOfArea)
{
    Options o;
    o.specimen.L0 = 50;
    o.specimen.Lu = 61;  // A = (61 - 50) / 50 100 = 22 %
    o.specimen.S0 = 80;
    o.specimen.Su = 20;  // Z = (80 - 20) / 80 100 = 75 %
    const Result r = evaluate(Continuous, o);
    EXPECT_NEAR(*r.A, 22, 1e-12);
    EXPECT_FALSE(*r.A_from_curve);
    EXPECT_NEAR(*r.Z, 75, 1e-12);
    EXPECT_EQ(*r.S0, 80);
    EXPECT_EQ(*r.L0, 50);
    Options d;
    d.specimen.d0 = 10;
    d.specimen.du = 8;  // Z = (100 - 64) / 100 100 = 36 %: pi/4 cancels
    EXPECT_NEAR(*evaluate(Continuous, d).Z, 36, 1e-12);
}

TEST(EvaluateCurve, ModulusRangeIsPassZero)
{
    Options o;
    o.modulusRange = std::pair {50.0, 150.0};  // records 2..6 (60 to 140 MPa)
    const Result r = evaluate(Continuous, o);
    EXPECT_EQ(r.E->pass, 0);
    EXPECT_EQ(r.E->points, 5u);
    o.modulusRange = std::pair {50.0, 120.0};  // records 2..5: four points
    EXPECT_EQ(
        *evaluate(Continuous, o).error, "too few points between 50 and 120 MPa for the elastic modulus");
}

TEST(EvaluateCurve, ModulusFailures)
{
    // Rm = 10 at record 2: 1 to 4 MPa holds one record.
    EXPECT_NE(evaluate({{0, 0}, {0.001, 2}, {0.002, 10}}).error->find("too few points"), std::string::npos);
    // A flat strain: Sxx = 0 over 20 to 80 MPa (records 1..7).
    std::vector<Point> flat;
    for (int i = 1; i <= 20; ++i)
        flat.push_back({0.001, 10.0 * i});
    EXPECT_EQ(*evaluate(flat).error, "no rise between 20 and 80 MPa");
    EXPECT_EQ(*evaluate({{0, -1}, {0.1, -2}}).error, "no tensile load: the highest stress is -1 MPa");
}

TEST(UpperYield, AcceptedWithThreeMinima)
{
    Options passes;
    passes.modulus = ModulusMethod::Passes;
    const Result r = evaluate(withYield(ThreeMinima), passes);
    ASSERT_FALSE(r.error) << *r.error;
    // Record 11 (300 MPa) is followed by 280 <= 0.995 300 = 298.5 before 310 > 300 at record 18, and
    // eps17 - eps11 = 0.0033 - 0.0015 = 0.0018 >= 0.0005: ReH = 300.
    EXPECT_EQ(*r.ReH, 300);
    EXPECT_EQ(*r.indexReH, 11u);
    // Minima 280 (record 12), 290 (14), 288 (16): the first is the transient; ReL = 288.
    EXPECT_EQ(*r.ReL, 288);
    EXPECT_EQ(*r.indexReL, 16u);
    // (ReH + ReL) / 2 = 294: the last record at or below is 17 (293): Ae = (0.0033 - 0.0015) 100.
    EXPECT_NEAR(*r.Ae, 0.18, 1e-9);
    // Pass 2 over 10 % to 50 % of ReH: 30 to 150 MPa, records 2..6.
    EXPECT_EQ(r.E->pass, 2);
    EXPECT_EQ(r.E->points, 5u);
}

TEST(UpperYield, OneMinimum)
{
    // 290, 280, 285, 295: the only minimum is 280. (300 + 280) / 2 = 290: the last record at or
    // below is 285 (eps 0.0024): Ae = (0.0024 - 0.0015) 100 = 0.09 %.
    const Result r = evaluate(withYield({{0.0018, 290}, {0.0021, 280}, {0.0024, 285}, {0.0027, 295}}));
    EXPECT_EQ(*r.ReH, 300);
    EXPECT_EQ(*r.ReL, 280);
    EXPECT_NEAR(*r.Ae, 0.09, 1e-9);
}

TEST(UpperYield, RefusedWithoutAFallOfHalfAPerCent)
{
    // The lowest record after 300 is 298.8 > 298.5.
    const Result r = evaluate(withYield({{0.0018, 299}, {0.0021, 298.8}, {0.0024, 299.5}}));
    EXPECT_FALSE(r.ReH);
    EXPECT_TRUE(hasNote(r, "continuous yielding"));
}

TEST(UpperYield, RefusedOverLessThanFiveHundredthsOfAPerCent)
{
    // A fall to 290, but 310 follows at once: eps of the last record below is 0.0017, 0.0002 past h.
    EXPECT_FALSE(evaluate(withYield({{0.0016, 290}, {0.0017, 295}})).ReH);
}

TEST(UpperYield, RefusedWithinTheScatterOfTheElasticLine)
{
    // The fit over 20 to 110 MPa takes records 1..5 of the line R = 200000 e with offsets +1, -1, 0,
    // -1, +1: even about the middle, so slope and intercept stay, and the residuals are the offsets:
    // s = sqrt(4 / 3) = 1.155, 3 s = 3.46. After 300 MPa at record 15 a fall to 298 (0.67 %, over
    // 0.07 % strain) lies within it; one to 296 does not.
    const auto curve = [](double low) {
        std::vector<Point> points
            = {{0, 0}, {0.0001, 21}, {0.0002, 39}, {0.0003, 60}, {0.0004, 79}, {0.0005, 101}};
        for (int i = 6; i <= 15; ++i)
            points.push_back({0.0001 * i, 20.0 * i});
        points.push_back({0.0016, low});
        points.push_back({0.0018, 299});
        points.push_back({0.0022, 298.5});
        points.push_back({0.0050, 310});
        points.push_back({0.0200, 500});
        points.push_back({0.0300, 480});
        return points;
    };
    Options o;
    o.modulusRange = std::pair {20.0, 110.0};
    const Result within = evaluate(curve(298), o);
    ASSERT_FALSE(within.error) << *within.error;
    EXPECT_EQ(within.E->points, 5u);
    EXPECT_FALSE(within.ReH);
    const Result beyond = evaluate(curve(296), o);
    EXPECT_EQ(*beyond.ReH, 300);
}

TEST(UpperYield, RefusedFarUpTheHardeningCurve)
{
    // The continuous curve with a dip from 380 MPa at strain 0.012 to 370: a fall of 2.6 % over
    // 0.1 %, but 0.0115 - 380 / 200000 = 0.0096 of plastic extension lies behind it, more than
    // 0.002: no upper yield point.
    const std::vector<Point> dip {{0.0006, 20}, {0.0007, 40}, {0.0008, 60}, {0.0009, 80}, {0.0010, 100},
        {0.0011, 120}, {0.0012, 140}, {0.0013, 160}, {0.0014, 180}, {0.0015, 200}, {0.0045, 300},
        {0.0100, 360}, {0.0120, 380}, {0.0130, 370}, {0.0200, 400}, {0.0250, 100}};
    const Result r = evaluate(dip);
    ASSERT_FALSE(r.error) << *r.error;
    EXPECT_NEAR(r.E->GPa, 200, 1e-6);
    EXPECT_FALSE(r.ReH);
    EXPECT_TRUE(hasNote(r, "continuous yielding"));
}

}  // namespace
}  // namespace tenso::standard
