// SDAR, the slope of the elastic line by ASTM E3076, a step at a time on curves small enough to follow
// by hand: the start, the tangency point, the window search with its ties and its thinning, the raise
// of the offset, the fit, the quality metrics and the notes.
#include "standard/sdar.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <random>
#include <vector>

namespace tenso::standard {
namespace {

// Strain in steps of 0.01 %, one record each: the index is the strain in units of 1e-4.
std::vector<double> strainSteps(std::size_t n, double step = 1e-4)
{
    std::vector<double> e(n);
    for (std::size_t i = 0; i < n; ++i)
        e[i] = static_cast<double>(i) * step;
    return e;
}

// A toe (records 0..4, slope rising by 2 MPa a record) and a straight line of exactly 10 records,
// 5..14, 30 to 138 MPa at 12 MPa a record: in a search of up to 54 records (Nmin = 10) it is the only
// window of 10 records on one line, so it is the window of least Q.
std::vector<double> toeAndLine()
{
    std::vector<double> R = {0, 2, 6, 12, 20};
    for (int k = 0; k < 10; ++k)
        R.push_back(30 + 12.0 * k);
    return R;
}

// Toe and line, then a sharp upper yield point at record 14 (138 MPa): a fall to 125 and a slow
// rise to the maximum of 200 MPa at record 59.
std::vector<double> sharpYield()
{
    std::vector<double> R = toeAndLine();
    for (const double r : {125.0, 126.0, 127.0, 125.0, 126.0})
        R.push_back(r);
    for (int k = 1; k <= 40; ++k)
        R.push_back(126 + (200 - 126) * k / 40.0);
    return R;
}

// The straight window the plain loop of the rules finds: every start, every end, running sums from 0,
// a window replacing the chosen one only with a smaller Q.
std::optional<Window> plainSearch(
    const std::vector<double>& X, const std::vector<double>& Y, std::size_t Nmin)
{
    std::optional<Window> best;
    for (std::size_t s = 0; s < X.size(); ++s) {
        double xm = 0, ym = 0, Sxx = 0, Syy = 0, Sxy = 0;
        for (std::size_t j = s; j < X.size(); ++j) {
            const auto k = static_cast<double>(j - s + 1);
            const double dx = X[j] - xm, dy = Y[j] - ym;
            xm += dx / k;
            ym += dy / k;
            Sxx += dx * (X[j] - xm);
            Syy += dy * (Y[j] - ym);
            Sxy += dx * (Y[j] - ym);
            if (j - s + 1 >= Nmin && Sxx != 0 && Syy != 0) {
                const double Q = 1 - Sxy * Sxy / (Sxx * Syy);
                if (!best || Q < best->Q)
                    best = Window {s, j, Q};
            }
        }
    }
    return best;
}

TEST(SdarFit, LeastSquaresByHand)
{
    // (0, 1), (1, 3), (2, 4), (3, 6): xm 1.5, ym 3.5, Sxx 5, Sxy 8, Syy 13: E = 1.6, c = 3.5 - 2.4 = 1.1,
    // r² = 64 / 65, s = sqrt((13 - 64 / 5) / 2) = sqrt(0.1).
    const std::vector<double> e = {0, 1, 2, 3}, R = {1, 3, 4, 6};
    const LineFit fit = FitLine(R, e, 0, 4);
    EXPECT_NEAR(fit.E, 1.6, 1e-15);
    EXPECT_NEAR(fit.c, 1.1, 1e-15);
    EXPECT_NEAR(fit.r2, 64.0 / 65.0, 1e-15);
    EXPECT_NEAR(fit.s, std::sqrt(0.1), 1e-15);
    // On a line the rest Syy - Sxy² / Sxx may come out below 0 by rounding: s is then 0, not NaN.
    const std::vector<double> line = {0.1, 0.2, 0.3, 0.4, 0.5};
    EXPECT_EQ(FitLine(line, strainSteps(5, 0.1), 0, 5).s, 0.0);
}

TEST(SdarStart, TheLastRecordNotAboveTheFirstBeforeTheRise)
{
    // No idling: the rise to 5 % of Rm begins at record 1.
    EXPECT_EQ(SdarStart(std::vector<double> {0, 10, 20, 30, 100}, 4), 0u);
    // R_1 = 5, Rm = 100: the rise is the first record above 5 + 0.05 95 = 9.75, record 5 (30); the
    // records up to it not above 5 are 0, 1, 2 and 4: a = 4 (6 at record 3 stays below the rise).
    EXPECT_EQ(SdarStart(std::vector<double> {5, 4, 5, 6, 4.5, 30, 60, 100}, 7), 4u);
    // A record equal to R_1 counts as not above it.
    EXPECT_EQ(SdarStart(std::vector<double> {5, 4, 5, 30, 100}, 4), 2u);
    try {
        SdarStart(std::vector<double> {10, 5, 8}, 0);
        ADD_FAILURE() << "no error";
    } catch (const SdarError& error) {
        EXPECT_STREQ(error.what(), "SDAR: no rise in the record");
    }
}

TEST(SdarTangency, TheSteepestLineFromTheOffsetPoint)
{
    // P = (1, 16.6): the slopes to records 2..6 are 3.4, 6.7, 7.13, 6.35 and 5.48: record 4.
    const std::vector<double> e = {0, 1, 2, 3, 4, 5, 6}, R = {0, 10, 20, 30, 38, 42, 44};
    EXPECT_EQ(TangencyPoint(R, e, 0, 1, 6, 16.6), 4u);
    // Y = R - 10 = 0, 2, 4, 4: from P = (0, 0) records 1 (1, 2) and 2 (2, 4) both lie on a slope of 2,
    // record 3 on 4/3: the first is taken.
    const std::vector<double> te = {0, 1, 2, 3}, tR = {10, 12, 14, 14};
    EXPECT_EQ(TangencyPoint(tR, te, 0, 0, 3, 0), 1u);
    // Measured from a = 1 (X = e - 1, Y = R - 12) with P = (X_1, 1): records 2 and 3 lie above it at
    // slopes of 1 and 0.5: record 2.
    EXPECT_EQ(TangencyPoint(tR, te, 1, 1, 3, 1), 2u);
    // Nothing above the offset point.
    EXPECT_FALSE(TangencyPoint(R, e, 0, 1, 6, 44));
}

TEST(SdarWindow, TheLeastNormalizedResidualByHand)
{
    // X 0..3, Y 0, 1, 3, 3. Windows of 3: [0, 2]: Sxx 2, Sxy 3, Syy 14/3, Q = 1 - 9 / (28/3) = 1/28;
    // [1, 3]: Sxx 2, Sxy 2, Syy 8/3, Q = 1/4; [0, 3]: Sxx 5, Sxy 5.5, Syy 6.75, Q = 3.5 / 33.75.
    const std::vector<double> X = {0, 1, 2, 3}, Y = {0, 1, 3, 3};
    const std::optional<Window> three = BestWindow(X, Y, 3);
    ASSERT_TRUE(three);
    EXPECT_EQ(three->s, 0u);
    EXPECT_EQ(three->e, 2u);
    EXPECT_NEAR(three->Q, 1.0 / 28, 1e-15);
    const std::optional<Window> four = BestWindow(X, Y, 4);
    ASSERT_TRUE(four);
    EXPECT_EQ(four->e - four->s, 3u);
    EXPECT_NEAR(four->Q, 3.5 / 33.75, 1e-15);
    EXPECT_FALSE(BestWindow(X, Y, 5));  // no window that long
}

TEST(SdarWindow, OnATieTheEarlierStartThenTheShorterWindow)
{
    // Records 1..4 lie on X = Y, where every sum of Y is the sum of X and Q is exactly 0: [1, 3],
    // [1, 4] and [2, 4] tie; [1, 3] starts first and is shorter.
    const std::vector<double> X = {0, 1, 2, 3, 4, 5}, Y = {5, 1, 2, 3, 4, 0};
    const std::optional<Window> w = BestWindow(X, Y, 3);
    ASSERT_TRUE(w);
    EXPECT_EQ(w->s, 1u);
    EXPECT_EQ(w->e, 3u);
    EXPECT_EQ(w->Q, 0.0);
    // Over a long line every window ties at 0: the first start and the shortest window, also where
    // the search takes many starts at once.
    std::vector<double> line(100);
    for (std::size_t i = 0; i < line.size(); ++i)
        line[i] = 0.37 * static_cast<double>(i);
    const std::optional<Window> first = BestWindow(line, line, 10);
    ASSERT_TRUE(first);
    EXPECT_EQ(first->s, 0u);
    EXPECT_EQ(first->e, 9u);
}

TEST(SdarWindow, NoWindowWithoutAQ)
{
    // Syy = 0 in every window (a flat stress), and Sxx = 0 (a stuck extensometer).
    const std::vector<double> X = {0, 1, 2, 3, 4}, flat = {7, 7, 7, 7, 7};
    EXPECT_FALSE(BestWindow(X, flat, 3));
    EXPECT_FALSE(BestWindow(flat, X, 3));
}

TEST(SdarWindow, TheSameBitsAsThePlainLoop)
{
    // Noisy lines of several lengths and minimum windows: the search that takes many starts at once
    // chooses the window of the plain loop, with the same Q to the last bit.
    std::mt19937_64 random(6892);
    std::uniform_real_distribution<double> noise(-1, 1);
    for (const std::size_t n : {10u, 11u, 23u, 24u, 25u, 37u, 200u, 611u}) {
        for (const std::size_t Nmin : {std::size_t {1}, std::size_t {10}, std::max<std::size_t>(10, n / 5)}) {
            std::vector<double> X(n), Y(n);
            for (std::size_t i = 0; i < n; ++i) {
                X[i] = 1e-5 * static_cast<double>(i) + 1e-7 * noise(random);
                Y[i] = 2e5 * X[i] + 0.5 * noise(random) + (i > n / 2 ? -30.0 * (X[i] - X[n / 2]) * 1e5 : 0.0);
            }
            const std::optional<Window> fast = BestWindow(X, Y, Nmin), plain = plainSearch(X, Y, Nmin);
            ASSERT_TRUE(fast && plain) << n;
            EXPECT_EQ(fast->s, plain->s) << n << " " << Nmin;
            EXPECT_EQ(fast->e, plain->e) << n << " " << Nmin;
            EXPECT_EQ(fast->Q, plain->Q) << n << " " << Nmin;
        }
    }
}

TEST(SdarWindow, OnACleanLineTheRoundingDecidesAsInThePlainLoop)
{
    // Every Q of a line without noise lies within rounding of 0, so the window chosen depends on the
    // last bits of each Q: the same as the plain loop's.
    for (const std::size_t n : {150u, 407u}) {
        std::vector<double> X(n), Y(n);
        for (std::size_t i = 0; i < n; ++i) {
            X[i] = 1e-5 * static_cast<double>(i);
            Y[i] = 2.16e5 * X[i];
        }
        for (const std::size_t Nmin : {std::size_t {10}, n / 5}) {
            const std::optional<Window> fast = BestWindow(X, Y, Nmin), plain = plainSearch(X, Y, Nmin);
            ASSERT_TRUE(fast && plain);
            EXPECT_EQ(fast->s, plain->s) << n << " " << Nmin;
            EXPECT_EQ(fast->e, plain->e) << n << " " << Nmin;
            EXPECT_EQ(fast->Q, plain->Q) << n << " " << Nmin;
        }
    }
}

TEST(SdarWindow, ThinningAboveTenThousandRecords)
{
    // Up to 10000 records every one is searched.
    const std::vector<std::size_t> all = SearchedRecords(0, 9999);
    EXPECT_EQ(all.size(), 10000u);
    EXPECT_EQ(all.front(), 0u);
    // 10001: every 2nd counted back from t = 10000: 10000, 9998, ..., 0.
    const std::vector<std::size_t> two = SearchedRecords(0, 10000);
    EXPECT_EQ(two.size(), 5001u);
    EXPECT_EQ(two[1] - two[0], 2u);
    EXPECT_EQ(two.back(), 10000u);
    // 20000 records from a = 5 to t = 20004: every 2nd from t back to 6, as 4 lies before a.
    const std::vector<std::size_t> late = SearchedRecords(5, 20004);
    EXPECT_EQ(late.size(), 10000u);
    EXPECT_EQ(late.front(), 6u);
    EXPECT_EQ(late.back(), 20004u);
    // 20001 records: k = 3, 6667 records from 2.
    EXPECT_EQ(SearchedRecords(0, 20000).size(), 6667u);
}

TEST(Sdar, ThinnedSearchFitsEveryRecordOfTheWindow)
{
    // 16004 records on R = 8002 (i / 16004)^1.5 (curved throughout), then a line of slope 1 MPa a
    // record to 11998 MPa at record 20000, a fall and a slow rise to the maximum at record 30000.
    // Below the tangency point at 20000 lie 20001 records: every 3rd is searched (2, 5, ..., 20000:
    // 6667, Nmin 1333), and the line holds exactly 1333 of them, 16004..20000: the only straight
    // window. The raise of the offset finds the same tangency point.
    std::vector<double> R;
    for (int i = 0; i < 16004; ++i)
        R.push_back(8002 * std::pow(i / 16004.0, 1.5));
    for (int i = 16004; i <= 20000; ++i)
        R.push_back(8002 + (i - 16004));
    for (int i = 20001; i <= 30000; ++i)
        R.push_back(11000 + 1500 * (i - 20000) / 10000.0);
    const std::vector<double> e = strainSteps(R.size(), 1e-6);
    const SdarResult r = Sdar(R, e, 30000);
    EXPECT_EQ(r.a, 0u);
    EXPECT_EQ(r.t, 20000u);
    EXPECT_EQ(r.step, 3u);
    EXPECT_EQ(r.metrics.records, 6667u);
    EXPECT_EQ(r.metrics.raises, 0u);
    // The fit takes all 3997 records between the window's ends: 1 MPa per 1e-6.
    EXPECT_EQ(r.fit.first, 16004u);
    EXPECT_EQ(r.fit.end, 20001u);
    EXPECT_NEAR(r.fit.E, 1e6, 1e-3);
}

TEST(Sdar, ARaiseThatDoesNotStandAtASharpYieldPoint)
{
    // Ymax = 200, o = record 3 (Y 12 > 10). f = 0.15: P = (3, 42) in records; along the line the
    // slope from P, 12 - 36 / (i - 3), grows to record 14 (8.73); the rise beyond reaches 200 at a
    // slope of at most 2.8: t = 14. N = 15, Nmin = 10: the window 5..14 ends at t, so f rises to 0.2:
    // P = (3, 52), and the line still ends steepest at record 14: the window stands, no raise.
    const std::vector<double> R = sharpYield(), e = strainSteps(R.size());
    const SdarResult r = Sdar(R, e, R.size() - 1);
    EXPECT_EQ(r.a, 0u);
    EXPECT_EQ(r.t, 14u);
    EXPECT_EQ(r.metrics.raises, 0u);
    EXPECT_EQ(r.metrics.records, 15u);
    EXPECT_EQ(r.fit.first, 5u);
    EXPECT_EQ(r.fit.end, 15u);
    EXPECT_NEAR(r.fit.E, 12 / 1e-4, 1e-6);  // 120000 MPa
}

TEST(Sdar, ARaiseThatStands)
{
    // The line goes on from record 14 at 8.3 MPa a record to record 20 (187.8), then rises slowly to
    // 200 at record 40. From P = (3, 42) the slope to that second line, (96 + 8.3 (i - 14)) / (i - 3),
    // falls after record 14 (8.3 x 11 < 96): t = 14, the window 5..14 ends there. From P = (3, 52) it
    // grows (8.3 x 11 > 86): t = 20. The search to 20 (N 21, Nmin 10) finds 5..14 again, which now
    // ends before t: one raise, which stood.
    std::vector<double> R = toeAndLine();
    for (int k = 1; k <= 6; ++k)
        R.push_back(138 + 8.3 * k);
    for (int k = 1; k <= 20; ++k)
        R.push_back(187.8 + (200 - 187.8) * k / 20);
    const std::vector<double> e = strainSteps(R.size());
    const SdarResult r = Sdar(R, e, R.size() - 1);
    EXPECT_EQ(r.t, 20u);
    EXPECT_EQ(r.metrics.raises, 1u);
    EXPECT_EQ(r.metrics.records, 21u);
    EXPECT_EQ(r.fit.first, 5u);
    EXPECT_EQ(r.fit.end, 15u);
}

TEST(Sdar, AnIdleStartIsLeftOut)
{
    // Four idle records at -1, -2, -1, -1.5 MPa before the curve of the sharp yield point: the last
    // one not above R_1 = -1 before the rise is record 3, which X and Y are measured from. The line
    // is records 9..18 now.
    std::vector<double> R = {-1, -2, -1, -1.5};
    for (const double r : sharpYield())
        R.push_back(r);
    const std::vector<double> e = strainSteps(R.size());
    const SdarResult r = Sdar(R, e, R.size() - 1);
    EXPECT_EQ(r.a, 3u);
    EXPECT_EQ(r.t, 18u);
    EXPECT_EQ(r.fit.first, 9u);
    EXPECT_EQ(r.fit.end, 19u);
    EXPECT_EQ(r.metrics.records, 16u);  // 3..18
}

TEST(Sdar, ErrorsOfTheSearchAndTheFit)
{
    const auto message = [](const std::vector<double>& R) {
        try {
            Sdar(R, strainSteps(R.size()), R.size() - 1);
        } catch (const SdarError& error) {
            return std::string(error.what());
        }
        return std::string("no error");
    };
    // A line of 9 records, 0 to 80 MPa, then a fall and a slow rise to 100: the tangency point is the
    // line's end, record 8, with 9 records below it.
    std::vector<double> shortLine;
    for (int i = 0; i <= 8; ++i)
        shortLine.push_back(10.0 * i);
    for (int k = 1; k <= 51; ++k)
        shortLine.push_back(70 + 30 * k / 51.0);
    EXPECT_EQ(message(shortLine), "SDAR: 9 records below the tangency point, at least 10 needed");
    // A curved rise to 520 MPa at record 20, then a straight fall of 1 MPa a record over 20 records,
    // then a climb to the maximum: the straightest window lies on the fall, whose slope is negative.
    std::vector<double> fall;
    for (int i = 0; i <= 20; ++i)
        fall.push_back(25.0 * i + 0.05 * i * i);
    for (int i = 21; i <= 40; ++i)
        fall.push_back(510.0 - (i - 21));
    for (const double r : {600.0, 700.0, 800.0, 900.0, 1000.0})
        fall.push_back(r);
    EXPECT_EQ(message(fall), "SDAR: no rise below the tangency point");
}

// ---- The quality metrics ----

// Records whose strain advances by the given steps (in 1e-6) and whose stress rises by 10 MPa a record.
struct Steps {
    std::vector<double> R, e;
    explicit Steps(const std::vector<double>& steps)
    {
        double x = 0;
        R.push_back(0);
        e.push_back(0);
        for (std::size_t i = 0; i < steps.size(); ++i) {
            x += steps[i];
            e.push_back(x * 1e-6);
            R.push_back(10.0 * static_cast<double>(i + 1));
        }
    }
    SdarMetrics metrics() const
    {
        std::vector<std::size_t> searched(R.size());
        for (std::size_t i = 0; i < searched.size(); ++i)
            searched[i] = i;
        return QualityMetrics(R, e, 0, searched, FitLine(R, e, 0, R.size()));
    }
};

TEST(SdarMetrics, NoiseOfTheSteps)
{
    // Steps of 100 and 101 by turns, 10 of them, X_t = 1005: u steps 0.1 -+ 0.5 / 1005, whose standard
    // deviation (divisor 9) is sqrt(10 x 0.25 / 9) / 1005 = 5.24e-4: x_noise 0.105, passes. The stress
    // steps are all equal: no noise.
    const SdarMetrics quiet = Steps({100, 101, 100, 101, 100, 101, 100, 101, 100, 101}).metrics();
    ASSERT_TRUE(quiet.x_noise && quiet.y_noise);
    EXPECT_NEAR(*quiet.x_noise, std::sqrt(10 * 0.25 / 9) / 1005 / 0.005, 1e-12);
    EXPECT_TRUE(quiet.checks.xNoise);
    EXPECT_NEAR(*quiet.y_noise, 0, 1e-9);
    EXPECT_TRUE(quiet.checks.yNoise);
    // Steps of 1 and 2 by turns, X_t = 15: u steps 0.1 -+ 1/30, deviation sqrt(10 / 900 / 9): 7.03.
    const SdarMetrics noisy = Steps({1, 2, 1, 2, 1, 2, 1, 2, 1, 2}).metrics();
    EXPECT_NEAR(*noisy.x_noise, std::sqrt(10.0 / 900 / 9) / 0.005, 1e-12);
    EXPECT_FALSE(noisy.checks.xNoise);
    EXPECT_FALSE(noisy.passed);
}

TEST(SdarMetrics, ResolutionOfTheSteps)
{
    // Equal steps: every change of step is 0 (bin 0), so z = 1 and the resolution 1/3 passes.
    const SdarMetrics even = Steps({5, 5, 5, 5, 5, 5, 5, 5, 5, 5}).metrics();
    EXPECT_NEAR(*even.x_resolution, 1.0 / 3, 1e-15);
    EXPECT_TRUE(even.checks.xResolution);
    // Steps of 100 and 101: each change is 1 / 1005 of the range, bin floor(4096 / 1005 + 0.5) = 4,
    // all nine of them: 4/3 > 1 and 100 % in bin z: fails.
    const SdarMetrics coarse = Steps({100, 101, 100, 101, 100, 101, 100, 101, 100, 101}).metrics();
    EXPECT_NEAR(*coarse.x_resolution, 4.0 / 3, 1e-15);
    EXPECT_FALSE(coarse.checks.xResolution);
    // Changes of 4, 4, 5, 5, 6, 6, 7, 7 of a range of 922: bins 18, 18, 22, 22, 27, 27, 31, 31. z is
    // the lowest of the most frequent, 18: 6 > 1, but bin 18 holds 25 % of the values and bin 0 none:
    // passes.
    const SdarMetrics spread = Steps({100, 104, 100, 105, 100, 106, 100, 107, 100}).metrics();
    EXPECT_NEAR(*spread.x_resolution, 6, 1e-15);
    EXPECT_TRUE(spread.checks.xResolution);
    // Changes all of 4: bin 18 holds every value.
    const SdarMetrics same = Steps({100, 104, 100, 104, 100, 104, 100, 104, 100}).metrics();
    EXPECT_NEAR(*same.x_resolution, 18.0 / 3, 1e-15);
    EXPECT_FALSE(same.checks.xResolution);
}

// 17 records, e = 0.001 j, R = 100 j + beta (j - 8)²: the bend is symmetric about record 8, so the fit's
// slope stays 100 MPa per 0.001 (E = 1e5) and the residuals are beta (j - 8)² less their mean.
// The first quarter of the strain is j = 0..4, where the residuals fall by 12 beta a record (least
// squares of 64, 49, 36, 25, 16 on -2..2: -120 / 10): q1 = -12 beta / 0.001 / (0.05 E) = -2.4 beta;
// the last quarter, j = 12..16, gives q4 = +2.4 beta.
struct Bend {
    std::vector<double> R, e;
    std::vector<std::size_t> searched;
    explicit Bend(double beta)
    {
        for (int j = 0; j <= 16; ++j) {
            e.push_back(0.001 * j);
            R.push_back(100.0 * j + beta * (j - 8) * (j - 8));
            searched.push_back(static_cast<std::size_t>(j));
        }
    }
};

TEST(SdarMetrics, ResidualSlopeAtBothEnds)
{
    const Bend slight(0.1);
    const SdarMetrics pass
        = QualityMetrics(slight.R, slight.e, 0, slight.searched, FitLine(slight.R, slight.e, 0, 17));
    EXPECT_NEAR(*pass.q1, -0.24, 1e-9);
    EXPECT_NEAR(*pass.q4, 0.24, 1e-9);
    EXPECT_EQ(pass.q1_points, 5u);
    EXPECT_EQ(pass.q4_points, 5u);
    EXPECT_TRUE(pass.checks.q1);
    EXPECT_TRUE(pass.checks.q4);
    const Bend strong(1);
    const SdarMetrics fail
        = QualityMetrics(strong.R, strong.e, 0, strong.searched, FitLine(strong.R, strong.e, 0, 17));
    EXPECT_NEAR(*fail.q1, -2.4, 1e-9);
    EXPECT_NEAR(*fail.q4, 2.4, 1e-9);
    EXPECT_FALSE(fail.checks.q1);
    EXPECT_FALSE(fail.checks.q4);
    // A fit over records 4..12 (strain 0.004 to 0.012): its quarters, up to 0.006 and from 0.010, hold
    // 3 records each: too few, whatever the slope.
    const SdarMetrics few
        = QualityMetrics(slight.R, slight.e, 0, slight.searched, FitLine(slight.R, slight.e, 4, 13));
    EXPECT_EQ(few.q1_points, 3u);
    EXPECT_EQ(few.q4_points, 3u);
    EXPECT_FALSE(few.checks.q1);
    EXPECT_FALSE(few.checks.q4);
}

TEST(SdarMetrics, FitRange)
{
    // Y_t = R_16 - R_0 = 1600. A fit over all 17 records spans 6.4 to 1606.4 MPa: 0.4 x 1600 / 1600 =
    // 0.4, passes. One over records 0..4 spans 6.4 to 401.6: 640 / 395.2 = 1.62, fails.
    const Bend b(0.1);
    const SdarMetrics all = QualityMetrics(b.R, b.e, 0, b.searched, FitLine(b.R, b.e, 0, 17));
    EXPECT_NEAR(*all.fit_range, 0.4, 1e-12);
    EXPECT_TRUE(all.checks.fitRange);
    EXPECT_TRUE(all.passed);
    const SdarMetrics part = QualityMetrics(b.R, b.e, 0, b.searched, FitLine(b.R, b.e, 0, 5));
    EXPECT_NEAR(*part.fit_range, 640 / 395.2, 1e-12);
    EXPECT_FALSE(part.checks.fitRange);
    EXPECT_FALSE(part.passed);
}

TEST(SdarNotes, TheFitAndTheFailedChecks)
{
    const std::vector<double> R = sharpYield(), e = strainSteps(R.size());
    const SdarResult r = Sdar(R, e, R.size() - 1);
    EXPECT_EQ(SdarNote(r, R),
        "E by SDAR (ASTM E3076) from 30 to 138 MPa, 10 of the 15 records below the tangency point at 138 "
        "MPa");
    SdarResult thinned = r;
    thinned.step = 3;
    EXPECT_EQ(SdarNote(thinned, R),
        "E by SDAR (ASTM E3076) from 30 to 138 MPa, 10 of the 15 records below the tangency point at 138 MPa "
        "(the window searched on one record in 3, 15 records)");

    SdarMetrics m;
    m.x_noise = 1.18349;
    m.y_noise = 0.5;
    m.x_resolution = 4.0 / 3;
    m.y_resolution = 2730.0 / 3;
    m.q1 = -0.0123456;
    m.q1_points = 4;
    m.q4 = 2.5;
    m.q4_points = 1;
    m.fit_range = 1.284;
    m.checks = {false, true, false, true, false, false, false};
    EXPECT_EQ(SdarFailures(m),
        "E fails checks of ASTM E3076: relative noise 1.18 in strain; relative resolution 1.33 in strain; "
        "relative residual slope -0.0123 at the start of the fit (4 records); relative residual slope 2.5 at "
        "the end of the fit (1 record); relative fit range 1.28");
    m.q1.reset();
    m.checks = {true, true, true, false, false, true, true};
    EXPECT_EQ(SdarFailures(m),
        "E fails checks of ASTM E3076: relative resolution 910 in stress; relative residual slope undefined "
        "at "
        "the start of the fit (4 records)");
    m.checks = {true, true, true, true, true, true, true};
    EXPECT_EQ(SdarFailures(m), "");
}

}  // namespace
}  // namespace tenso::standard
