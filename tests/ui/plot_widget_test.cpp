#include "ui/form1.h"
#include "ui/plot_widget.h"

#include "state/shared_state.h"
#include "support/temp_file.h"

#include <QPushButton>
#include <QTest>

#include <string>

namespace tenso {
namespace {

const QColor White(Qt::white);
const QColor Red(255, 0, 0);
const QColor Blue(0, 0, 255);
const QColor Green(0, 255, 0);

// The plot as it shows on screen; the drawing starts inside the one-pixel frame.
QImage Shown(QWidget& w) { return w.grab().toImage(); }

// Red pixels in the square of side 2 * reach around (x, y).
int RedNear(const QImage& image, int x, int y, int reach)
{
    int n = 0;
    for (int j = y - reach; j <= y + reach; ++j)
        for (int i = x - reach; i <= x + reach; ++i)
            n += image.pixelColor(i, j) == Red;
    return n;
}

}  // namespace

class PlotWidgetTest : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void whiteInsideAFrame()
    {
        QWidget window;
        PlotWidget plot(QSize(273, 249), &window);
        QCOMPARE(plot.Drawing().LogicalSize(), QSize(271, 247));
        const QImage shown = Shown(plot);
        QCOMPARE(shown.size(), QSize(273, 249));
        QCOMPARE(shown.pixelColor(1, 1), White);
        QCOMPARE(shown.pixelColor(271, 247), White);
        QVERIFY(shown.pixelColor(0, 0) != White);
        QVERIFY(shown.pixelColor(272, 248) != White);
    }

    // Painting only copies the kept image: every repaint shows the drawing until Cls.
    void repaintsKeepTheDrawingUntilCls()
    {
        QWidget window;
        window.resize(300, 300);
        PlotWidget plot(QSize(273, 249), &window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        plot.Scale(0, 0, 271, 247);  // one unit a pixel
        plot.Line(0, 100, 271, 100, colors::Blue);
        plot.Circle(135, 50, 20, colors::Red);
        for (int pass = 0; pass < 2; ++pass) {
            const QImage shown = Shown(plot);
            QCOMPARE(shown.pixelColor(1 + 10, 1 + 100), Blue);
            QCOMPARE(shown.pixelColor(1 + 155, 1 + 50), Red);
            QCOMPARE(shown.pixelColor(1 + 135, 1 + 50), White);
            window.hide();  // covered and uncovered
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
        }
        plot.Cls();
        const QImage cleared = Shown(plot);
        QCOMPARE(cleared.pixelColor(1 + 10, 1 + 100), White);
        QCOMPARE(cleared.pixelColor(1 + 155, 1 + 50), White);
    }

    // Draw through the real window on 23 records (x = y = record number) after five header lines.
    // The automatic scale is -2.3..25.3 both ways (23 x 1.1 and 23 x -0.1); the drawing area is
    // 271 x 247 pixels, so a unit is 271 / 27.6 = 9.819 pixels across and 247 / 27.6 = 8.949 down.
    // The origin lies at (2.3 x 9.819, 25.3 x 8.949) = (22.58, 226.4): pixel (22, 226); record 10 at
    // (12.3 x 9.819, 15.3 x 8.949) = (120.8, 136.9): pixel (120, 136), its red marker of radius
    // 0.276 units = 2.71 pixels around it.
    void drawShowsAxesAndMarkers()
    {
        std::string content = "h1\nh2\nh3\nh4\nh5\n";
        for (int i = 1; i <= 23; ++i)
            content += std::to_string(i) + "," + std::to_string(i) + "\n";
        const test::TempFile file(content);

        SharedState state;
        Form1 form(state);
        form.Load();
        state.DataFileName = file.path();
        form.Enable(Command3(0));
        QTest::mouseClick(form.ButtonWidget(Command3(0)), Qt::LeftButton);
        QCOMPARE(form.Text(Text12(0)), std::string("25.3"));
        QCOMPARE(form.Text(Text12(1)), std::string("25.3"));

        const QImage image = Shown(*form.PictureWidget()).copy(1, 1, 271, 247);
        QCOMPARE(image.pixelColor(22, 226), Blue);  // the origin
        QCOMPARE(image.pixelColor(22, 20), Blue);  // Y axis
        QCOMPARE(image.pixelColor(200, 226), Blue);  // X axis
        QCOMPARE(image.pixelColor(250, 20), White);
        QVERIFY(RedNear(image, 120, 136, 4) > 0);  // record 10
        QCOMPARE(RedNear(image, 120, 136, 1), 0);  // the ring, not its inside
        QCOMPARE(RedNear(image, 71, 181, 4), 0);  // record 5 is blue, not red
        QVERIFY(image.pixelColor(120, 136) == Green || image.pixelColor(121, 137) == Green);
    }
};

}  // namespace tenso

QTEST_MAIN(tenso::PlotWidgetTest)
#include "plot_widget_test.moc"
