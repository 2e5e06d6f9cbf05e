#include "ui/image_surface.h"

#include <QTest>

namespace tenso {
namespace {

const QColor White(Qt::white);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);

QColor At(const ImageSurface& s, int x, int y) { return s.Image().pixelColor(x, y); }

int CountOf(const QImage& image, const QColor& colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}

}  // namespace

class ImageSurfaceTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // User scale -10..90 both ways on 100 pixels: one pixel a unit, the origin at pixel (10, 10).
    void axesThroughTheOriginAreOnePixelWide()
    {
        ImageSurface s(QSize(100, 100));
        s.Scale(-10, -10, 90, 90);
        s.Line(-10, 0, 90, 0, colors::Blue);
        s.Line(0, -10, 0, 90, colors::Blue);
        QCOMPARE(At(s, 10, 10), Blue);
        QCOMPARE(At(s, 0, 10), Blue);
        QCOMPARE(At(s, 99, 10), Blue);
        QCOMPARE(At(s, 10, 0), Blue);
        QCOMPARE(At(s, 10, 99), Blue);
        QCOMPARE(At(s, 50, 9), White);
        QCOMPARE(At(s, 50, 11), White);
        QCOMPARE(At(s, 9, 50), White);
        QCOMPARE(At(s, 11, 50), White);
        QCOMPARE(CountOf(s.Image(), Blue), 199);  // two lines of 100 sharing the origin
    }

    // The corners decide the direction: y may grow downward or upward.
    void scaleFromTwoCorners()
    {
        ImageSurface s(QSize(100, 100));
        s.Scale(0, 100, 100, 0);  // y = 100 at the top: y grows upward
        s.PSet(20, 30, colors::Red);
        QCOMPARE(At(s, 20, 70), Red);

        // As the plot sets it: X -10..90, Y from 90 at the top to -10 at the bottom, points at (x, -y).
        s.Cls();
        s.Scale(-10, -90, 90, 10);
        s.PSet(20, -30, colors::Blue);
        QCOMPARE(At(s, 30, 60), Blue);

        // X and Y scales are independent: 200 x 50 pixels for 0..10 and 0..5.
        ImageSurface wide(QSize(200, 50));
        wide.Scale(0, 0, 10, 5);
        wide.PSet(5, 2.5f, colors::Red);
        QCOMPARE(At(wide, 100, 25), Red);
        QCOMPARE(CountOf(wide.Image(), Red), 1);
    }

    void penMovesWithEveryOperation()
    {
        ImageSurface s(QSize(100, 100));
        s.Scale(0, 0, 100, 100);
        s.PSet(10, 10, colors::Red);
        s.LineTo(90, 10, colors::Red);  // from the point set
        s.LineTo(90, 90, colors::Red);  // from the end of the last line
        QCOMPARE(At(s, 50, 10), Red);
        QCOMPARE(At(s, 90, 50), Red);
        s.Circle(30, 60, 5, colors::Blue);
        s.LineTo(30, 90, colors::Blue);  // from the circle's centre
        QCOMPARE(At(s, 30, 80), Blue);
        s.Line(0, 30, 10, 30, colors::Red);
        s.LineTo(10, 50, colors::Red);  // from the end of Line
        QCOMPARE(At(s, 10, 40), Red);
        s.Cls();  // Cls puts the pen at (0, 0)
        s.LineTo(0, 20, colors::Blue);
        QCOMPARE(At(s, 0, 10), Blue);
    }

    void circleOfRadiusInXUnits()
    {
        ImageSurface s(QSize(100, 100));
        s.Scale(0, 0, 100, 100);
        s.Circle(50, 50, 20, colors::Red);
        QCOMPARE(At(s, 70, 50), Red);
        QCOMPARE(At(s, 30, 50), Red);
        QCOMPARE(At(s, 50, 30), Red);
        QCOMPARE(At(s, 50, 70), Red);
        QCOMPARE(At(s, 50, 50), White);
        QCOMPARE(At(s, 69, 50), White);
        QCOMPARE(At(s, 71, 50), White);
    }

    // 2 pixels a unit in X, 10 in Y: a radius of 10 X units is 20 pixels both ways, not 100 in Y.
    void circleStaysRoundWithUnequalScales()
    {
        ImageSurface s(QSize(200, 100));
        s.Scale(0, 0, 100, 10);
        s.Circle(50, 5, 10, colors::Red);
        QCOMPARE(At(s, 120, 50), Red);
        QCOMPARE(At(s, 80, 50), Red);
        QCOMPARE(At(s, 100, 30), Red);
        QCOMPARE(At(s, 100, 70), Red);
        QCOMPARE(At(s, 100, 29), White);
        QCOMPARE(At(s, 100, 0), White);
    }

    void drawingPersistsUntilCls()
    {
        ImageSurface s(QSize(100, 100));
        QCOMPARE(CountOf(s.Image(), White), 100 * 100);
        s.Scale(0, 0, 100, 100);
        s.Line(0, 20, 100, 20, colors::Blue);
        QCOMPARE(At(s, 50, 20), Blue);  // reading the image between operations keeps it
        s.Circle(50, 60, 10, colors::Red);
        s.Scale(0, 0, 50, 50);  // a new scale does not erase either
        QCOMPARE(At(s, 50, 20), Blue);
        QCOMPARE(At(s, 60, 60), Red);
        s.Cls();
        QCOMPARE(CountOf(s.Image(), White), 100 * 100);
    }

    // Before any Scale the surface measures in twips (15 a pixel).
    void defaultScaleIsTwips()
    {
        ImageSurface s(QSize(100, 100));
        s.PSet(150, 300, colors::Red);
        QCOMPARE(At(s, 10, 20), Red);
    }

    // Values anywhere in the Single range: what shows is drawn, nothing hangs or crashes.
    void hugeCoordinates()
    {
        constexpr float Big = 3.4e38f;
        ImageSurface s(QSize(100, 100));
        s.Scale(0, 0, 100, 100);
        s.Line(50, 50, Big, Big, colors::Red);  // one end in view: exact to the pixel
        QCOMPARE(At(s, 75, 75), Red);
        QCOMPARE(At(s, 99, 99), Red);
        QCOMPARE(At(s, 75, 76), White);
        s.Line(-Big, 20, Big, 20, colors::Blue);  // level, both ends far
        QCOMPARE(At(s, 0, 20), Blue);
        QCOMPARE(At(s, 99, 20), Blue);
        s.Line(80, Big, 80, -Big, colors::Blue);  // upright, both ends far
        QCOMPARE(At(s, 80, 0), Blue);
        QCOMPARE(At(s, 80, 99), Blue);

        // A circle far larger than the view, passing through it: its edge runs down column 50.
        s.Cls();
        s.Circle(1e6f, 50, 999950, colors::Red);
        QCOMPARE(At(s, 50, 0), Red);
        QCOMPARE(At(s, 50, 50), Red);
        QCOMPARE(At(s, 50, 99), Red);
        QCOMPARE(At(s, 49, 50), White);
        QCOMPARE(At(s, 51, 50), White);
        s.Cls();
        s.Circle(-Big, 50, Big, colors::Red);  // touches the left edge
        QCOMPARE(At(s, 0, 50), Red);

        s.Cls();
        s.Circle(0, 0, Big, colors::Red);  // the view lies inside it
        s.Circle(Big, -Big, Big, colors::Red);
        s.Line(-Big, -Big, Big, Big, colors::Red);
        s.Line(Big, Big, Big, -Big, colors::Red);
        s.PSet(-Big, Big, colors::Red);
        s.LineTo(Big, -Big, colors::Red);
        s.Scale(0, 0, 1e-38f, 1e-38f);  // a tiny scale makes ordinary values huge
        s.Circle(0, 0, 1, colors::Red);
        s.Line(1, 1, 2, 3, colors::Red);
        s.Circle(Big, Big, Big, colors::Red);
        QVERIFY(CountOf(s.Image(), White) > 0);
    }

    // At a device pixel ratio of 2 the image has twice the pixels and lines two device pixels.
    void devicePixelRatio()
    {
        ImageSurface s(QSize(50, 40), 2.0);
        QCOMPARE(s.Image().size(), QSize(100, 80));
        QCOMPARE(s.LogicalSize(), QSize(50, 40));
        s.Scale(0, 0, 50, 40);
        s.Line(0, 10, 50, 10, colors::Blue);  // logical row 10: device rows around 20
        int blueInColumn = 0;
        for (int y = 0; y < 80; ++y)
            blueInColumn += At(s, 50, y) == Blue;
        QCOMPARE(blueInColumn, 2);
        QVERIFY(At(s, 50, 20) == Blue || At(s, 50, 19) == Blue);
    }
};

}  // namespace tenso

QTEST_GUILESS_MAIN(tenso::ImageSurfaceTest)
#include "image_surface_test.moc"
