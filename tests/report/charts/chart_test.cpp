#include "chart_data.h"
#include "chart_files.h"
#include "chart_painter.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>

using namespace tenso::report;
using tenso::standard::Result;

namespace {

// A straight curve from (0, 0) to (10 %, 500 MPa) with a marker at (4 %, 200 MPa). Both maxima are
// multiples of every step the axes could take (1, 2 or 5 %; 50 or 100 MPa), so the axes end
// exactly there and the middle of the plot is (5 %, 250 MPa).
ChartData Line()
{
    ChartData chart;
    chart.name = "line.csv";
    for (int i = 0; i <= 100; ++i) {
        chart.x.push_back(static_cast<float>(i) / 10);
        chart.y.push_back(static_cast<float>(i) * 5);
    }
    chart.markers.push_back({"Rm", 4, 200});
    chart.xMax = 10;
    chart.yMax = 500;
    return chart;
}

QImage Render(const ChartData& chart, ChartLayout& layout)
{
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    layout = PaintChart(painter, QRectF(0, 0, 800, 600), ChartUnitForPixels(800, 600), chart);
    return image;
}

bool Bluish(QRgb c) { return qBlue(c) > 150 && qRed(c) < 120; }
bool Dark(QRgb c) { return qGray(c) < 80; }

// Whether a pixel within 2 of `p` passes: lines are antialiased, and positions round.
template <typename Test> bool Near(const QImage& image, QPointF p, Test test)
{
    for (int dy = -2; dy <= 2; ++dy) {
        for (int dx = -2; dx <= 2; ++dx) {
            if (test(image.pixel(static_cast<int>(p.x()) + dx, static_cast<int>(p.y()) + dy)))
                return true;
        }
    }
    return false;
}

}  // namespace

TEST(PaintChart, CurveAxesAndMarkerWhereTheCoordinatesSay)
{
    ChartLayout layout;
    const QImage image = Render(Line(), layout);
    EXPECT_DOUBLE_EQ(layout.x.hi, 10);
    EXPECT_DOUBLE_EQ(layout.y.hi, 500);
    const QPointF middle = layout.plot.center();
    EXPECT_TRUE(Near(image, middle, Bluish));
    // 2.5 % and 125 MPa: a quarter along the line.
    const QPoint quarter(static_cast<int>(layout.plot.left() + layout.plot.width() / 4),
        static_cast<int>(layout.plot.bottom() - layout.plot.height() / 4));
    EXPECT_TRUE(Near(image, quarter, Bluish));
    // The frame: black at the left and bottom edges, half way along.
    EXPECT_TRUE(Near(image, QPointF(layout.plot.left(), middle.y()), Dark));
    EXPECT_TRUE(Near(image, QPointF(middle.x(), layout.plot.bottom()), Dark));
    // The marker at 4 % and 200 MPa, filled yellow: 40 % along each axis.
    const QPoint marker(static_cast<int>(layout.plot.left() + 0.4 * layout.plot.width()),
        static_cast<int>(layout.plot.bottom() - 0.4 * layout.plot.height()));
    const QColor fill = image.pixelColor(marker);
    EXPECT_GT(fill.red(), 200);
    EXPECT_GT(fill.green(), 180);
    EXPECT_LT(fill.blue(), 80);
    // Far from the line (8 %, 100 MPa): nothing of the curve.
    const QPoint away(static_cast<int>(layout.plot.left() + 0.8 * layout.plot.width()),
        static_cast<int>(layout.plot.bottom() - 0.2 * layout.plot.height()));
    EXPECT_FALSE(Near(image, away, Bluish));
    // Tick numbers left of the plot: some dark pixels in the margin beside the 500 MPa tick.
    int dark = 0;
    for (int x = 0; x < static_cast<int>(layout.plot.left()) - 6; ++x)
        dark += Dark(image.pixel(x, static_cast<int>(layout.plot.top()) + 2)) ? 1 : 0;
    EXPECT_GT(dark, 3);
}

TEST(PaintSeriesChart, EachCurveInItsOwnColour)
{
    ChartData a = Line(), b = Line();
    b.name = "half.csv";
    for (float& y : b.y)
        y /= 2;
    b.markers.clear();
    QImage image(800, 600, QImage::Format_RGB32);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintSeriesChart(painter, QRectF(0, 0, 800, 600), ChartUnitForPixels(800, 600), {&a, &b});
    }
    // Both lines pass the middle column: at 250 MPa (a) and 125 MPa (b); colours differ.
    std::vector<QRgb> colours;
    const int column = 400;
    for (int y = 0; y < 600; ++y) {
        const QRgb c = image.pixel(column, y);
        if (qRed(c) + qGreen(c) + qBlue(c) < 600 && std::abs(qRed(c) - qBlue(c)) > 60)
            colours.push_back(c);
    }
    ASSERT_GE(colours.size(), 2u);
    EXPECT_NE(colours.front() & 0xf0f0f0, colours.back() & 0xf0f0f0);
}

TEST(MakeChartData, StrainFromTheOriginAndThePoints)
{
    // Elastic 200 GPa from e0 = 0.001, then a rise to the maximum at e = 0.201 and a fall.
    Result r;
    r.file = "s.csv";
    r.E = tenso::standard::ModulusFit {200, 40, 160, 10, 0.999, 2, 0, 5, tenso::standard::FitMethod::Passes};
    r.e0 = 0.001;
    r.curve.strain = {0.001, 0.002, 0.003, 0.1, 0.201, 0.25};
    r.curve.stress = {0, 200, 300, 500, 600, 550};
    r.Rp.push_back({0.2, "0.2", 300.0, 0.0035, 2.5});
    r.indexRm = 4;
    r.indexFracture = 5;
    r.Rm = 600;
    r.At = 25;  // broken, not unloaded: its fracture is marked
    const ChartData chart = MakeChartData(r);
    ASSERT_EQ(chart.x.size(), 6u);
    EXPECT_NEAR(chart.x[0], 0, 1e-6);
    EXPECT_NEAR(chart.x[4], 20, 1e-5);  // (0.201 - 0.001) x 100
    ASSERT_TRUE(chart.elastic);
    // The top of the fit, 160 MPa, plus a quarter of its 120 MPa: 190 MPa at 190 / 200000 = 0.095 %.
    EXPECT_NEAR(chart.elastic->y1, 190, 1e-9);
    EXPECT_NEAR(chart.elastic->x1, 0.095, 1e-12);
    // The fit window on that line: 40 MPa at 0.02 %, 160 MPa at 0.08 %.
    ASSERT_TRUE(chart.fit);
    EXPECT_NEAR(chart.fit->x0, 0.02, 1e-12);
    EXPECT_NEAR(chart.fit->y0, 40, 1e-12);
    EXPECT_NEAR(chart.fit->x1, 0.08, 1e-12);
    EXPECT_NEAR(chart.fit->y1, 160, 1e-12);
    ASSERT_EQ(chart.offsets.size(), 1u);
    // From 0.2 % on the axis to 1.1 x 300 = 330 MPa, 0.2 + 330 / 200000 x 100 = 0.365 %.
    EXPECT_NEAR(chart.offsets[0].x0, 0.2, 1e-12);
    EXPECT_NEAR(chart.offsets[0].x1, 0.365, 1e-12);
    ASSERT_EQ(chart.markers.size(), 3u);
    EXPECT_EQ(chart.markers[0].label, "Rp0.2");
    EXPECT_NEAR(chart.markers[0].x, 0.35, 1e-12);
    EXPECT_EQ(chart.markers[1].label, "Rm");
    EXPECT_NEAR(chart.markers[1].x, 20, 1e-9);
    EXPECT_EQ(chart.markers[2].label, "At");
    EXPECT_NEAR(chart.markers[2].x, 24.9, 1e-9);
}

TEST(MakeChartData, FailedFileHasNoCurve)
{
    Result r;
    r.file = "bad.csv";
    r.error = "no force column";
    EXPECT_TRUE(MakeChartData(r).x.empty());
}

TEST(ChartNames, SameBaseNameNeverOverwrites)
{
    ChartNames names(PlotFormat::Png);
    EXPECT_EQ(names.Next("a/run.csv"), "run.png");
    EXPECT_EQ(names.Next("b/run.csv"), "run-2.png");
    EXPECT_EQ(names.Next("c/run.txt"), "run-3.png");
    EXPECT_EQ(names.Next("run-2.csv"), "run-2-2.png");  // run-2.png is taken
    ChartNames svg(PlotFormat::Svg);
    EXPECT_EQ(svg.Next("x/steel.test.csv"), "steel.test.svg");
}

TEST(WriteChartFile, PngAndSvgOfTheSize)
{
    QTemporaryDir dir;
    const QString png = dir.filePath("c.png"), svg = dir.filePath("c.svg");
    EXPECT_EQ(WriteChartFile(png, Line(), QSize(640, 480), PlotFormat::Png), "");
    const QImage read(png);
    ASSERT_EQ(read.size(), QSize(640, 480));
    // The file holds exactly the painted pixels.
    QImage painted(640, 480, QImage::Format_RGB32);
    painted.fill(Qt::white);
    {
        QPainter painter(&painted);
        PaintTitledChart(painter, QRectF(0, 0, 640, 480), ChartUnitForPixels(640, 480), Line());
    }
    int different = 0;
    for (int y = 0; y < 480; ++y) {
        for (int x = 0; x < 640; ++x)
            different += (read.pixel(x, y) & 0xffffff) != (painted.pixel(x, y) & 0xffffff) ? 1 : 0;
    }
    EXPECT_EQ(different, 0) << std::hex << read.pixel(320, 240) << " " << painted.pixel(320, 240);
    EXPECT_EQ(WriteChartFile(svg, Line(), QSize(640, 480), PlotFormat::Svg), "");
    QFile file(svg);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_TRUE(file.readAll().contains("<svg"));
}

TEST(WriteChartFile, FailureNamesTheFileAndLeavesNothing)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/c.png");
    const std::string message = WriteChartFile(path, Line(), QSize(100, 100), PlotFormat::Png);
    EXPECT_NE(message.find(path.toStdString()), std::string::npos) << message;
    EXPECT_FALSE(QFile::exists(path));
}
