// Tenso Lab's chart under real mouse and wheel events, on a hand-made chart: 200 MPa per % up to
// (0.5 %, 100 MPa), a plateau to 2 %, E fitted from (0.1 %, 20 MPa) to (0.4 %, 80 MPa). Data maps to
// pixels linearly through the two handles the widget draws; no expected value calls the code tested.

#include "chart_view.h"

#include "charts/chart_painter.h"

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QWheelEvent>

#include <cmath>
#include <memory>

using tenso::lab::ChartView;
using tenso::report::ChartData;

namespace {

ChartData LineAndPlateau(double scale = 1)
{
    ChartData chart;
    chart.name = scale == 1 ? "line.csv" : "steeper.csv";
    for (int i = 0; i <= 50; ++i) {
        chart.x.push_back(static_cast<float>(0.01 * i * scale));
        chart.y.push_back(static_cast<float>(2.0 * i * scale));
    }
    for (int i = 1; i <= 150; ++i) {
        chart.x.push_back(static_cast<float>((0.5 + 0.01 * i) * scale));
        chart.y.push_back(static_cast<float>(100 * scale));
    }
    chart.elastic = tenso::report::ChartSegment {0, 0, 0.5 * scale, 100 * scale};
    chart.fit = tenso::report::ChartSegment {0.1 * scale, 20 * scale, 0.4 * scale, 80 * scale};
    chart.xMin = 0;
    chart.xMax = 2 * scale;
    chart.yMin = 0;
    chart.yMax = 100 * scale;
    return chart;
}

// Data to pixels and back, linear through the handles at (0.1 %, 20 MPa) and (0.4 %, 80 MPa).
struct Mapping {
    QPointF low, high;
    double X(double strain) const { return low.x() + (strain - 0.1) / 0.3 * (high.x() - low.x()); }
    double Y(double stress) const { return low.y() + (stress - 20) / 60 * (high.y() - low.y()); }
    QPointF Pixel(double strain, double stress) const { return {X(strain), Y(stress)}; }
    double Strain(double px) const { return 0.1 + (px - low.x()) / (high.x() - low.x()) * 0.3; }
    double Stress(double py) const { return 20 + (py - low.y()) / (high.y() - low.y()) * 60; }
    double StrainPerPixel() const { return 0.3 / std::abs(high.x() - low.x()); }
    double MPaPerPixel() const { return 60 / std::abs(high.y() - low.y()); }
};

void Press(QWidget* widget, QPointF at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mousePress(widget, button, {}, at.toPoint());
}

// A move with buttons held, which QTest::mouseMove does not carry.
void Move(QWidget* widget, QPointF at, Qt::MouseButtons buttons)
{
    const QPointF point = at.toPoint();
    QMouseEvent event(
        QEvent::MouseMove, point, widget->mapToGlobal(point), Qt::NoButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Release(QWidget* widget, QPointF at, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseRelease(widget, button, {}, at.toPoint());
}

// Press, ten moves on the way, release.
void DragMouse(QWidget* widget, QPointF from, QPointF to, Qt::MouseButton button = Qt::LeftButton)
{
    Press(widget, from, button);
    for (int i = 1; i <= 10; ++i)
        Move(widget, from + (to - from) * (i / 10.0), button);
    Release(widget, to, button);
}

void Wheel(QWidget* widget, QPointF at, int angle)
{
    QWheelEvent event(at, widget->mapToGlobal(at), QPoint(), QPoint(0, angle), Qt::NoButton, Qt::NoModifier,
        Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

QImage Rendered(ChartView& view)
{
    QImage image(view.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    view.render(&image);
    return image;
}

// The curve's blue (0x1f77b4) and not the grey of the grid and the lines or the handles' amber.
bool Blue(QRgb pixel) { return qBlue(pixel) > 120 && qBlue(pixel) - qRed(pixel) > 60; }

// Within two pixels of the point: a line two pixels wide need not cover the one it is rounded to.
bool BlueNear(const QImage& image, QPointF at)
{
    const QPoint centre = at.toPoint();
    for (int dy = -2; dy <= 2; ++dy)
        for (int dx = -2; dx <= 2; ++dx)
            if (Blue(image.pixel(centre + QPoint(dx, dy))))
                return true;
    return false;
}

int DifferentPixels(const QImage& a, const QImage& b, const std::vector<QPointF>& except, double radius)
{
    int different = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            different += a.pixel(x, y) != b.pixel(x, y)
                    && std::none_of(except.begin(), except.end(),
                        [&](QPointF p) { return std::hypot(p.x() - x, p.y() - y) <= radius; })
                ? 1
                : 0;
    return different;
}

Mapping MappingOf(const ChartView& view)
{
    const auto handles = view.HandlePositions();
    if (!handles)
        return {};
    return {handles->first, handles->second};
}

// The range within a pixel's worth of strain and of stress at the view's own scale.
void CheckRange(const ChartView& view, double left, double top, double width, double height)
{
    const QRectF range = view.ViewRange();
    const Mapping map = MappingOf(view);
    const double sx = map.StrainPerPixel(), sy = map.MPaPerPixel();
    QVERIFY2(std::abs(range.left() - left) <= sx, qPrintable(QString::number(range.left())));
    QVERIFY2(std::abs(range.right() - (left + width)) <= sx, qPrintable(QString::number(range.right())));
    QVERIFY2(std::abs(range.top() - top) <= sy, qPrintable(QString::number(range.top())));
    QVERIFY2(std::abs(range.bottom() - (top + height)) <= sy, qPrintable(QString::number(range.bottom())));
}

}  // namespace

class ChartViewTest : public QObject {
    Q_OBJECT
    std::unique_ptr<ChartView> view_;

private Q_SLOTS:
    void init()
    {
        view_ = std::make_unique<ChartView>();
        view_->resize(800, 600);
        view_->ShowSpecimen(LineAndPlateau(), false);
        view_->show();
        QVERIFY(QTest::qWaitForWindowExposed(view_.get()));
    }

    void cleanup() { view_.reset(); }

    // The whole chart: the report's axes (0..2 % and 0..100 MPa are whole 1-2-5 steps), the handles on
    // the painted curve, and the report's picture but for the handles.
    void wholeChartIsTheReports()
    {
        QCOMPARE(view_->ViewRange(), QRectF(0, 0, 2, 100));
        QCOMPARE(view_->objectName(), QStringLiteral("chartView"));
        QVERIFY(view_->hasMouseTracking());
        const auto handles = view_->HandlePositions();
        QVERIFY(handles);
        QVERIFY(handles->first.y() > handles->second.y());  // low stress first, lower on screen
        QVERIFY(handles->first.x() < handles->second.x());
        const Mapping map = MappingOf(*view_);
        const QImage image = Rendered(*view_);
        QVERIFY(BlueNear(image, map.Pixel(0.25, 50)));
        QVERIFY(BlueNear(image, map.Pixel(1.5, 100)));
        QVERIFY(map.X(0) > 0 && map.X(2) < 800 && map.Y(0) < 600 && map.Y(100) > 0);
        QVERIFY(!BlueNear(image, map.Pixel(1.5, 50)));

        QImage report(800, 600, QImage::Format_ARGB32_Premultiplied);
        report.fill(Qt::white);
        {
            QPainter painter(&report);
            tenso::report::PaintChart(painter, QRectF(0, 0, 800, 600),
                tenso::report::ChartUnitForPixels(800, 600), LineAndPlateau());
        }
        QCOMPARE(DifferentPixels(image, report, {handles->first, handles->second}, 9), 0);
    }

    // Each drag is one signal, and after it the chart's own fit is shown until the refit comes, so
    // the next drag starts from the same handles.
    void draggingAHandleSetsTheRange()
    {
        QSignalSpy spy(view_.get(), &ChartView::ModulusRangeEdited);
        const Mapping map = MappingOf(*view_);
        const QPointF to(map.high.x(), map.Y(60));
        Press(view_.get(), map.high);
        for (int i = 1; i <= 10; ++i)
            Move(view_.get(), map.high + (to - map.high) * (i / 10.0), Qt::LeftButton);
        // While held, the handle is at the pointer's stress on the elastic line.
        const auto held = view_->HandlePositions();
        QVERIFY(held);
        QVERIFY(std::abs(held->second.y() - to.y()) <= 1);
        QVERIFY(std::abs(held->second.x() - map.X(0.3)) <= 1);
        Release(view_.get(), to);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toDouble(), 20.0);
        QVERIFY2(std::abs(spy[0][1].toDouble() - 60) <= map.MPaPerPixel(),
            qPrintable(QString::number(spy[0][1].toDouble())));
        QCOMPARE(view_->HandlePositions()->second, map.high);

        // The lower handle above the upper sorts the range.
        spy.clear();
        DragMouse(view_.get(), map.low, QPointF(map.low.x(), map.Y(90)));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toDouble(), 80.0);
        QVERIFY(std::abs(spy[0][1].toDouble() - 90) <= map.MPaPerPixel());

        // Below the axis it stops at zero.
        spy.clear();
        DragMouse(view_.get(), map.low, QPointF(map.low.x(), 595));
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy[0][0].toDouble(), 0.0);
        QCOMPARE(spy[0][1].toDouble(), 80.0);
    }

    // A tiny drag or an empty range fits nothing, and the cursor and tooltip tell a handle.
    void aTinyDragFitsNothingAndTheCursorTellsAHandle()
    {
        QSignalSpy spy(view_.get(), &ChartView::ModulusRangeEdited);
        const Mapping map = MappingOf(*view_);
        DragMouse(view_.get(), map.high, map.high + QPointF(0, 1));
        Press(view_.get(), map.high);
        Release(view_.get(), map.high);
        // Taken off its centre and let go after a pixel: the handle stays where it was.
        DragMouse(view_.get(), map.high + QPointF(0, -6), map.high + QPointF(0, -5));
        // Away and back again.
        DragMouse(view_.get(), map.high, QPointF(map.high.x(), map.Y(40)));
        QCOMPARE(spy.count(), 1);
        spy.clear();
        DragMouse(view_.get(), map.low, QPointF(map.low.x(), map.Y(50)));
        QCOMPARE(spy.count(), 1);
        spy.clear();
        // The lower handle onto the upper one: a range of no height.
        DragMouse(view_.get(), map.low, map.high);
        QCOMPARE(spy.count(), 0);
        QCOMPARE(view_->HandlePositions()->first, map.low);
        QCOMPARE(view_->ViewRange(), QRectF(0, 0, 2, 100));  // and no zoom either
        // The cursor and tooltip tell a handle.
        Move(view_.get(), map.high + QPointF(3, 2), Qt::NoButton);
        QCOMPARE(view_->cursor().shape(), Qt::SizeVerCursor);
        QVERIFY2(view_->toolTip().startsWith(QStringLiteral("Drag to fit E up to 80")),
            qPrintable(view_->toolTip()));
        Move(view_.get(), map.low, Qt::NoButton);
        QVERIFY2(view_->toolTip().startsWith(QStringLiteral("Drag to fit E from 20")),
            qPrintable(view_->toolTip()));
        Move(view_.get(), map.Pixel(1.0, 50), Qt::NoButton);
        QCOMPARE(view_->cursor().shape(), Qt::ArrowCursor);
        QVERIFY(view_->toolTip().isEmpty());
    }

    // A rubber band zooms to its rectangle with the curve clipped to the plot; a band of three pixels
    // is a click; the same specimen keeps the zoom, another does not; a double click shows the whole
    // chart, on a handle too, where it neither drags nor refits.
    void aRubberBandZoomsAndADoubleClickUndoesIt()
    {
        QSignalSpy spy(view_.get(), &ChartView::ModulusRangeEdited);
        const Mapping map = MappingOf(*view_);
        DragMouse(view_.get(), map.Pixel(0.2, 90), map.Pixel(0.6, 30));
        CheckRange(*view_, 0.2, 30, 0.4, 60);
        // The handles follow the view.
        const Mapping zoomed = MappingOf(*view_);
        QVERIFY(
            std::abs(zoomed.StrainPerPixel() - map.StrainPerPixel() * 0.2) < 0.02 * zoomed.StrainPerPixel());
        QVERIFY(std::abs(zoomed.MPaPerPixel() - map.MPaPerPixel() * 0.6) < 0.02 * zoomed.MPaPerPixel());

        const QRectF range = view_->ViewRange();
        const QRectF plot = QRectF(QPointF(zoomed.X(range.left()), zoomed.Y(range.bottom())),
            QPointF(zoomed.X(range.right()), zoomed.Y(range.top())))
                                .adjusted(-2, -2, 2, 2);
        const QImage image = Rendered(*view_);
        QVERIFY(BlueNear(image, zoomed.Pixel(0.3, 60)));
        int outside = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                outside += !plot.contains(QPointF(x, y)) && Blue(image.pixel(x, y)) ? 1 : 0;
        QCOMPARE(outside, 0);

        DragMouse(view_.get(), zoomed.Pixel(0.3, 50), zoomed.Pixel(0.3, 50) + QPointF(3, 3));
        QCOMPARE(view_->ViewRange(), range);
        view_->ShowSpecimen(LineAndPlateau(), true);
        QCOMPARE(view_->ViewRange(), range);
        view_->ShowSpecimen(LineAndPlateau(), false);
        QCOMPARE(view_->ViewRange(), QRectF(0, 0, 2, 100));

        for (const bool onHandle : {false, true}) {
            DragMouse(view_.get(), map.Pixel(0.2, 90), map.Pixel(0.6, 30));
            QVERIFY(view_->ViewRange() != QRectF(0, 0, 2, 100));
            const Mapping now = MappingOf(*view_);
            QTest::mouseDClick(
                view_.get(), Qt::LeftButton, {}, (onHandle ? now.high : now.Pixel(0.3, 50)).toPoint());
            QCOMPARE(view_->ViewRange(), QRectF(0, 0, 2, 100));
        }
        QCOMPARE(spy.count(), 0);
    }

    // The right button pans, the data following the pointer, and the middle button pans back; the
    // wheel zooms 1.25 times a notch about the pointer, in and out.
    void theRightButtonPansAndTheWheelZooms()
    {
        Mapping map = MappingOf(*view_);
        const QPointF from = map.Pixel(1.0, 50).toPoint();
        DragMouse(view_.get(), from, from + QPointF(100, -50), Qt::RightButton);
        CheckRange(*view_, -100 * map.StrainPerPixel(), -50 * map.MPaPerPixel(), 2, 100);
        DragMouse(view_.get(), from, from + QPointF(-100, 50), Qt::MiddleButton);
        CheckRange(*view_, 0, 0, 2, 100);

        map = MappingOf(*view_);
        const QPointF pointer = map.Pixel(0.3, 50).toPoint();
        const double strain = map.Strain(pointer.x()), stress = map.Stress(pointer.y());
        for (const auto& [angle, scale] : {std::pair {120, 1 / 1.25}, std::pair {-240, 1.25}}) {
            Wheel(view_.get(), pointer, angle);
            QVERIFY(std::abs(view_->ViewRange().width() - 2 * scale) < 1e-9);
            QVERIFY(std::abs(view_->ViewRange().height() - 100 * scale) < 1e-9);
            const Mapping now = MappingOf(*view_);
            QVERIFY(std::abs(now.Strain(pointer.x()) - strain) < 1e-3 * now.StrainPerPixel());
            QVERIFY(std::abs(now.Stress(pointer.y()) - stress) < 1e-3 * now.MPaPerPixel());
        }
    }

    // A series is the report's series picture, has no handles, and zooms; shown again (a specimen
    // refitted) it keeps the zoom, after a specimen it is whole.
    void aSeriesIsTheReportsAndZooms()
    {
        QSignalSpy spy(view_.get(), &ChartView::ModulusRangeEdited);
        const Mapping map = MappingOf(*view_);
        const std::vector<ChartData> charts = {LineAndPlateau(), LineAndPlateau(2)};
        view_->ShowSeries(charts);
        QImage report(800, 600, QImage::Format_ARGB32_Premultiplied);
        report.fill(Qt::white);
        {
            QPainter painter(&report);
            const std::vector<const ChartData*> pointers = {charts.data(), charts.data() + 1};
            tenso::report::PaintSeriesChart(
                painter, QRectF(0, 0, 800, 600), tenso::report::ChartUnitForPixels(800, 600), pointers);
        }
        QCOMPARE(DifferentPixels(Rendered(*view_), report, {}, 0), 0);

        QVERIFY(!view_->HandlePositions());
        QCOMPARE(view_->ViewRange(), QRectF(0, 0, 4, 200));  // from the origin over both curves
        DragMouse(view_.get(), map.high, map.high + QPointF(0, -40));  // where a handle was
        QCOMPARE(spy.count(), 0);
        DragMouse(view_.get(), QPointF(300, 100), QPointF(500, 300));
        const QRectF zoomed = view_->ViewRange();
        QVERIFY(zoomed.width() < 4 && zoomed.height() < 200);
        view_->ShowSeries({LineAndPlateau(2), LineAndPlateau()});
        QCOMPARE(view_->ViewRange(), zoomed);
        view_->ShowSpecimen(LineAndPlateau(), false);
        view_->ShowSeries(charts);
        QCOMPARE(view_->ViewRange(), QRectF(0, 0, 4, 200));
        DragMouse(view_.get(), QPointF(300, 100), QPointF(500, 300));
        QTest::mouseDClick(view_.get(), Qt::LeftButton, {}, QPoint(400, 200));
        QCOMPARE(view_->ViewRange(), QRectF(0, 0, 4, 200));
    }

    void nothingIsALineOfGreyText()
    {
        view_->ShowNothing(QStringLiteral("No specimen selected"));
        QVERIFY(!view_->HandlePositions());
        const QImage image = Rendered(*view_);
        QCOMPARE(image.pixel(5, 5), qRgb(255, 255, 255));
        int grey = 0;
        for (int y = 280; y < 320; ++y)
            for (int x = 300; x < 500; ++x)
                grey += image.pixel(x, y) != qRgb(255, 255, 255)
                        && qRed(image.pixel(x, y)) == qBlue(image.pixel(x, y))
                    ? 1
                    : 0;
        QVERIFY(grey > 20);
        QSignalSpy spy(view_.get(), &ChartView::ModulusRangeEdited);
        DragMouse(view_.get(), QPointF(300, 300), QPointF(500, 400));
        QCOMPARE(spy.count(), 0);
    }
};

QTEST_MAIN(ChartViewTest)
#include "chart_view_test.moc"
