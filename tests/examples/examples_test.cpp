#include "data/reader.h"
#include "support/fake_window.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace tenso {
namespace {

// The nominal values that examples/make_examples.py builds each curve from.
struct Example {
    const char* file;
    int16_t columns;
    double modulus;  // MPa per micro-strain
    double rp02;  // where the 0.2 % offset line meets the curve, MPa
    double rm;  // the maximum, MPa
    int minValleys;
    int maxValleys;
};

const Example examples[] = {
    // Every serration of the plateau ends in a valley; the last lies in the plateau's band.
    {"steel_s235jr.dat", 2, 0.210, 292, 445, 20, 200},
    {"aluminium_6082_t6.dat", 2, 0.070, 295, 325, 0, 0},
    // Ramberg-Osgood with n = 7 bends from the start: the slope over records 20 to 60 is about
    // 1 % below E.
    {"stainless_1_4301.dat", 3, 0.195, 290, 640, 0, 0},
};

std::string examplePath(const char* file) { return std::string(TENSO_EXAMPLES) + "/" + file; }

// Lines after the 5 header lines, counted without the reader.
int recordLines(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string line;
    int lines = 0;
    while (std::getline(in, line))
        ++lines;
    return lines - 5;
}

TEST(Examples, EvaluateWithTheWindowsDefaults)
{
    for (const Example& e : examples) {
        SCOPED_TRACE(e.file);
        test::Form form;  // defaults: columns 1 and 2, coefficients 1, 5 header lines
        form.state.DataFileName = examplePath(e.file);
        ReadSettings(form.state, form.window);
        ReadMinima minima = StartRead(form.state);
        ASSERT_NO_THROW(ScanDataFile(form.state));
        ASSERT_NO_THROW(ReadRecords(form.state, minima));
        const SharedState& s = form.state;

        EXPECT_EQ(s.PointCount, static_cast<float>(recordLines(form.state.DataFileName)));
        EXPECT_GE(s.PointCount, 60.0f);
        EXPECT_LE(s.PointCount, 2000.0f);
        EXPECT_EQ(s.ColumnCount, e.columns);
        EXPECT_NEAR(s.YMax, e.rm, 1.0);
        EXPECT_GE(s.ValleyCount, e.minValleys);
        EXPECT_LE(s.ValleyCount, e.maxValleys);
        EXPECT_EQ(minima.XMin, s.XData[1]);  // strain and stress start above 0 and rise
        EXPECT_GT(minima.YMin, 0.0f);

        // Records 20 to 60 (Start and End) lie on the elastic line: their least-squares slope.
        double mx = 0, my = 0;
        for (int i = 20; i <= 60; ++i) {
            mx += s.XData[static_cast<size_t>(i)] / 41.0;
            my += s.YData[static_cast<size_t>(i)] / 41.0;
        }
        double sxy = 0, sxx = 0;
        for (int i = 20; i <= 60; ++i) {
            const double dx = s.XData[static_cast<size_t>(i)] - mx;
            sxy += dx * (s.YData[static_cast<size_t>(i)] - my);
            sxx += dx * dx;
        }
        EXPECT_NEAR(sxy / sxx, e.modulus, 0.015 * e.modulus);

        // The line of that slope shifted by 2000 micro-strain (Offset) falls below the curve at the
        // 0.2 % offset strength.
        int crossing = 0;
        for (int i = 61; i <= static_cast<int>(s.PointCount) && crossing == 0; ++i) {
            const auto k = static_cast<size_t>(i);
            if (s.YData[k] < e.modulus * (s.XData[k] - 2000.0))
                crossing = i;
        }
        ASSERT_GT(crossing, 0);
        EXPECT_NEAR(s.YData[static_cast<size_t>(crossing)], e.rp02, 6.0);

        if (e.maxValleys > 0) {
            EXPECT_GT(s.ValleyY[static_cast<size_t>(s.ValleyCount)], 285.0f);  // the lower yield point
            EXPECT_LT(s.ValleyY[static_cast<size_t>(s.ValleyCount)], 298.0f);
        }
    }
}

}  // namespace
}  // namespace tenso
