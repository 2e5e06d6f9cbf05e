#include "chart_painter.h"

#include "decimate.h"

#include "common/qt_text.h"

#include <QFont>
#include <QFontMetricsF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>
#include <QString>

#include <algorithm>
#include <array>
#include <cmath>

namespace tenso::report {

namespace {

constexpr double TextPoints = 8;  // tick numbers, labels and legend

// Ten colours that stay apart on screen and on paper (the Tableau palette).
constexpr std::array<QRgb, 10> Palette
    = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf};

QFont ChartFont(double unit)
{
    QFont font(QStringLiteral("Liberation Sans"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(TextPoints * unit))));
    return font;
}

QString Number(double value, int decimals)
{
    if (std::abs(value) < 1e-12)
        value = 0;  // no "-0"
    return QString::number(value, 'f', decimals);
}

QPen Pen(QColor colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    QPen pen(colour, width, style, Qt::FlatCap, Qt::RoundJoin);
    return pen;
}

// The multiples of the axis' step within it. The ends of a report's axis are such multiples; those
// of a zoomed view need not be.
std::vector<double> TickValues(const Axis& axis)
{
    std::vector<double> values;
    if (!(axis.step > 0) || !(axis.hi > axis.lo))
        return values;
    const double k = std::ceil(axis.lo / axis.step - 1e-9);
    const double first = std::abs(k * axis.step - axis.lo) <= 1e-9 * axis.step ? axis.lo : k * axis.step;
    const auto count = static_cast<int>(std::floor((axis.hi - first) / axis.step + 1e-9));
    for (int i = 0; i <= count; ++i)
        values.push_back(first + i * axis.step);
    return values;
}

const QString XLabel = QStringLiteral("Strain e \u2212 e0 [%]");
const QString YLabel = QStringLiteral("Stress R [MPa]");

void PaintAxes(QPainter& painter, const ChartLayout& layout, double unit)
{
    const QRectF& plot = layout.plot;
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    const double tick = 3 * unit;
    const int xDecimals = TickDecimals(layout.x.step);
    const int yDecimals = TickDecimals(layout.y.step);
    const QPen grid = Pen(QColor(0xdd, 0xdd, 0xdd), 0.5 * unit);
    const QPen axis = Pen(Qt::black, 0.8 * unit);

    for (const double v : TickValues(layout.x)) {
        const double px = layout.Map(v, layout.y.lo).x();
        painter.setPen(grid);
        painter.drawLine(QPointF(px, plot.top()), QPointF(px, plot.bottom()));
        painter.setPen(axis);
        painter.drawLine(QPointF(px, plot.bottom()), QPointF(px, plot.bottom() + tick));
        const QString text = Number(v, xDecimals);
        const double w = metrics.horizontalAdvance(text);
        painter.drawText(QPointF(px - w / 2, plot.bottom() + tick + unit + metrics.ascent()), text);
    }
    for (const double v : TickValues(layout.y)) {
        const double py = layout.Map(layout.x.lo, v).y();
        painter.setPen(grid);
        painter.drawLine(QPointF(plot.left(), py), QPointF(plot.right(), py));
        painter.setPen(axis);
        painter.drawLine(QPointF(plot.left() - tick, py), QPointF(plot.left(), py));
        const QString text = Number(v, yDecimals);
        const double w = metrics.horizontalAdvance(text);
        painter.drawText(
            QPointF(plot.left() - tick - unit - w, py + metrics.ascent() / 2 - unit * 0.5), text);
    }
    painter.setPen(axis);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(plot);

    // Axis labels: centred below the numbers and, turned, left of them.
    const double xw = metrics.horizontalAdvance(XLabel);
    painter.drawText(QPointF(plot.center().x() - xw / 2,
                         plot.bottom() + tick + 2 * unit + metrics.height() + metrics.ascent()),
        XLabel);
    painter.save();
    const double yw = metrics.horizontalAdvance(YLabel);
    painter.translate(layout.area.left() + unit + metrics.ascent(), plot.center().y() + yw / 2);
    painter.rotate(-90);
    painter.drawText(QPointF(0, 0), YLabel);
    painter.restore();
}

void PaintCurve(QPainter& painter, const ChartLayout& layout, const ChartData& chart, const QPen& pen)
{
    // Thinned once more to the plot's own width (two columns a point or a pixel), so that a page
    // of a hundred curves does not carry the points of a finer copy that no one can see.
    const double unitsPerColumn
        = painter.paintEngine() != nullptr && painter.paintEngine()->type() == QPaintEngine::Raster
        ? 1.0
        : painter.device()->logicalDpiX() / 144.0;
    const auto columns = static_cast<std::size_t>(std::max(1.0, layout.plot.width() / unitsPerColumn));
    std::vector<double> xs(chart.x.begin(), chart.x.end()), ys(chart.y.begin(), chart.y.end());
    const std::vector<std::size_t> kept = DecimateIndices(xs, ys, layout.x.lo, layout.x.hi, columns);
    QPolygonF line;
    line.reserve(static_cast<qsizetype>(kept.size()));
    for (const std::size_t i : kept)
        line.append(layout.Map(xs[i], ys[i]));
    painter.setBrush(Qt::NoBrush);
    const QPaintEngine* engine = painter.paintEngine();
    if (engine == nullptr || engine->type() != QPaintEngine::Raster) {
        painter.setPen(pen);
        painter.drawPolyline(line);
        return;
    }
    // In an image, Qt strokes an antialiased line wider than a pixel as one outline, which takes a
    // second for a few thousand noisy points; its one-pixel (cosmetic) line is fifty times faster.
    // Drawn side by side it gives the width.
    QPen thin = pen;
    thin.setWidthF(0);
    painter.setPen(thin);
    const double width = pen.widthF();
    const int passes = std::max(1, static_cast<int>(std::lround(width)));
    for (int k = 0; k < passes; ++k) {
        const double shift = passes == 1 ? 0.0 : (width - 1) * (k / (passes - 1.0) - 0.5) / std::sqrt(2.0);
        painter.save();
        painter.translate(shift, shift);
        painter.drawPolyline(line);
        painter.restore();
    }
}

// The part of the segment a-b inside `box` (Liang-Barsky); false when none is. A deep zoom puts the
// ends of the elastic line far outside the picture, where the raster's fixed-point stroking of a
// wide or dashed line is neither exact nor quick. A segment inside the box is left as it is.
bool ClipSegment(QPointF& a, QPointF& b, const QRectF& box)
{
    if (box.contains(a) && box.contains(b))
        return true;
    const double dx = b.x() - a.x(), dy = b.y() - a.y();
    double t0 = 0, t1 = 1;
    const std::array<double, 4> p = {-dx, dx, -dy, dy};
    const std::array<double, 4> q
        = {a.x() - box.left(), box.right() - a.x(), a.y() - box.top(), box.bottom() - a.y()};
    for (std::size_t i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0)
                return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0)
            t0 = std::max(t0, t);
        else
            t1 = std::min(t1, t);
    }
    if (t0 > t1)
        return false;
    const QPointF start = a;
    a = start + t0 * QPointF(dx, dy);
    b = start + t1 * QPointF(dx, dy);
    return true;
}

void PaintSegment(QPainter& painter, const ChartLayout& layout, const ChartSegment& s, const QPen& pen)
{
    QPointF a = layout.Map(s.x0, s.y0), b = layout.Map(s.x1, s.y1);
    const double margin = 2 * pen.widthF() + 2;
    if (!ClipSegment(a, b, layout.plot.adjusted(-margin, -margin, margin, margin)))
        return;
    painter.setPen(pen);
    painter.drawLine(a, b);
}

// Labels beside their markers, each at the first place around it that neither overlaps an earlier
// label nor leaves the plot.
void PaintMarkers(QPainter& painter, const ChartLayout& layout, double unit, const ChartData& chart)
{
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    std::vector<QRectF> taken;
    const double r = 2.2 * unit;
    for (const auto& marker : chart.markers) {
        const QPointF p = layout.Map(marker.x, marker.y);
        if (!layout.plot.adjusted(-1, -1, 1, 1).contains(p))
            continue;  // outside a zoomed view
        painter.setPen(Pen(Qt::black, 0.6 * unit));
        painter.setBrush(QColor(0xff, 0xd7, 0x00));
        painter.drawEllipse(p, r, r);

        const QString text = QString::fromStdString(marker.label);
        const QSizeF size(metrics.horizontalAdvance(text) + unit, metrics.height());
        const double gap = r + unit;
        const std::array<QPointF, 8> corners = {
            QPointF(p.x() + gap, p.y() - gap - size.height()),  // above right
            QPointF(p.x() + gap, p.y() + gap),  // below right
            QPointF(p.x() - gap - size.width(), p.y() - gap - size.height()),
            QPointF(p.x() - gap - size.width(), p.y() + gap),
            QPointF(p.x() - size.width() / 2, p.y() - gap - 2 * size.height()),
            QPointF(p.x() - size.width() / 2, p.y() + gap + size.height()),
            QPointF(p.x() + gap, p.y() - gap - 2 * size.height()),
            QPointF(p.x() + gap, p.y() + gap + size.height()),
        };
        QRectF place(corners[0], size);
        for (const QPointF& corner : corners) {
            const QRectF candidate(corner, size);
            const bool inside = layout.plot.contains(candidate);
            const bool free = std::none_of(
                taken.begin(), taken.end(), [&](const QRectF& t) { return t.intersects(candidate); });
            if (inside && free) {
                place = candidate;
                break;
            }
        }
        taken.push_back(place);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QColor(255, 255, 255, 210));
        painter.drawRect(place);
        painter.setPen(Qt::black);
        painter.drawText(QPointF(place.left() + unit / 2, place.top() + metrics.ascent()), text);
    }
}

QPen SeriesPen(std::size_t i, double unit)
{
    // After ten colours the dash patterns tell the curves apart.
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    return Pen(QColor(Palette[i % Palette.size()]), 0.9 * unit, styles[(i / Palette.size()) % 4]);
}

// The series' legend below the plot, in as many columns as the width takes.
struct Legend {
    int columns = 1, rows = 0;
    double sample = 0, rowHeight = 0, columnWidth = 0, height = 0;
};

Legend SeriesLegend(
    const QFontMetricsF& metrics, double width, double unit, const std::vector<const ChartData*>& charts)
{
    Legend legend;
    legend.sample = 14 * unit;
    double widest = 0;
    for (const ChartData* chart : charts)
        widest = std::max(widest, metrics.horizontalAdvance(common::DisplayNameText(chart->name)));
    const double entryWidth = std::min(legend.sample + 2 * unit + widest + 6 * unit, width);
    legend.columns = entryWidth > 0 ? std::max(1, static_cast<int>(width / entryWidth)) : 1;
    legend.rows = static_cast<int>((charts.size() + static_cast<std::size_t>(legend.columns) - 1)
        / static_cast<std::size_t>(legend.columns));
    legend.rowHeight = metrics.height() * 1.2;
    legend.height = legend.rows * legend.rowHeight + (legend.rows > 0 ? 2 * unit : 0);
    legend.columnWidth = width / legend.columns;
    return legend;
}

// The chart of a series in `area` above its legend, from the origin over every curve.
ChartLayout SeriesLayout(
    const QRectF& area, double unit, const Legend& legend, const std::vector<const ChartData*>& charts)
{
    double xMin = 0, xMax = 0, yMin = 0, yMax = 0;
    for (const ChartData* chart : charts) {
        xMin = std::min(xMin, chart->xMin);
        xMax = std::max(xMax, chart->xMax);
        yMin = std::min(yMin, chart->yMin);
        yMax = std::max(yMax, chart->yMax);
    }
    const QRectF chartArea(
        area.left(), area.top(), area.width(), std::max(1.0, area.height() - legend.height));
    return LayoutChart(chartArea, unit, xMin, xMax, yMin, yMax);
}

// The plot rectangle in the area, with the most tick intervals along each axis that leave room for
// their numbers; the axes are left to the caller.
struct Plot {
    ChartLayout layout;
    int xIntervals = 2, yIntervals = 2;
};

Plot PlotIn(const QRectF& area, double unit)
{
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font);
    Plot result;
    ChartLayout& layout = result.layout;
    layout.area = area;
    const double tick = 3 * unit;
    // Room for the widest tick number of the stress axis ("-888" stands for any up to 3 digits and a
    // sign), the turned label, and the ticks; below for the numbers and the label.
    const double left
        = tick + 2 * unit + metrics.horizontalAdvance(QStringLiteral("-8888")) + metrics.height() + unit;
    const double bottom = tick + 3 * unit + 2 * metrics.height();
    const double top = metrics.height() / 2 + unit;
    const double right = metrics.horizontalAdvance(QStringLiteral("888")) / 2 + 2 * unit;
    layout.plot = QRectF(area.left() + left, area.top() + top, std::max(1.0, area.width() - left - right),
        std::max(1.0, area.height() - top - bottom));
    result.xIntervals = std::clamp(
        static_cast<int>(layout.plot.width() / (metrics.horizontalAdvance(QStringLiteral("88.88")) * 2)), 2,
        10);
    result.yIntervals = std::clamp(static_cast<int>(layout.plot.height() / (metrics.height() * 2.5)), 2, 10);
    return result;
}

}  // namespace

QPointF ChartLayout::Map(double strainPercent, double stress) const
{
    const double fx = (strainPercent - x.lo) / (x.hi - x.lo);
    const double fy = (stress - y.lo) / (y.hi - y.lo);
    return {plot.left() + fx * plot.width(), plot.bottom() - fy * plot.height()};
}

ChartLayout LayoutChart(const QRectF& area, double unit, double xMin, double xMax, double yMin, double yMax)
{
    Plot plot = PlotIn(area, unit);
    // Axes from zero; a little below it (the toe before the strain origin, a slight compression
    // at the start) is cut off rather than given a whole tick interval.
    const auto from = [](double lo, double hi) { return lo < -0.03 * std::max(hi, 0.0) ? lo : 0.0; };
    plot.layout.x = NiceAxis(from(xMin, xMax), std::max(xMax, 0.0), plot.xIntervals);
    plot.layout.y = NiceAxis(from(yMin, yMax), std::max(yMax, 0.0), plot.yIntervals);
    return plot.layout;
}

ChartLayout LayoutExactChart(const QRectF& area, double unit, double xLo, double xHi, double yLo, double yHi)
{
    Plot plot = PlotIn(area, unit);
    plot.layout.x = {xLo, xHi, TickStep(xHi - xLo, plot.xIntervals)};
    plot.layout.y = {yLo, yHi, TickStep(yHi - yLo, plot.yIntervals)};
    return plot.layout;
}

ChartLayout PaintChart(QPainter& painter, const QRectF& area, double unit, const ChartData& chart)
{
    const ChartLayout layout = LayoutChart(area, unit, chart.xMin, chart.xMax, chart.yMin, chart.yMax);
    PaintChart(painter, layout, unit, chart);
    return layout;
}

void PaintChart(QPainter& painter, const ChartLayout& layout, double unit, const ChartData& chart)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintAxes(painter, layout, unit);
    painter.setClipRect(layout.plot);
    if (chart.elastic)
        PaintSegment(
            painter, layout, *chart.elastic, Pen(QColor(0x55, 0x55, 0x55), 0.7 * unit, Qt::DashLine));
    for (const auto& offset : chart.offsets)
        PaintSegment(painter, layout, offset, Pen(QColor(0x55, 0x55, 0x55), 0.7 * unit, Qt::DotLine));
    // A pale band behind the curve where E was fitted.
    if (chart.fit)
        PaintSegment(
            painter, layout, *chart.fit, Pen(QColor(0xf2, 0xb7, 0x05, 0x90), 4.5 * unit, Qt::SolidLine));
    PaintCurve(painter, layout, chart, Pen(QColor(Palette[0]), 1.1 * unit));
    PaintMarkers(painter, layout, unit, chart);
    painter.restore();
}

ChartLayout PaintTitledChart(QPainter& painter, const QRectF& area, double unit, const ChartData& chart)
{
    QFont font = ChartFont(unit * 1.15);
    font.setBold(true);
    const QFontMetricsF metrics(font, painter.device());
    const double band = metrics.height() + 2 * unit;
    painter.save();
    painter.setFont(font);
    painter.setPen(Qt::black);
    const QString title
        = metrics.elidedText(common::DisplayNameText(chart.name), Qt::ElideMiddle, area.width() - 4 * unit);
    painter.drawText(QPointF(area.center().x() - metrics.horizontalAdvance(title) / 2,
                         area.top() + unit + metrics.ascent()),
        title);
    painter.restore();
    return PaintChart(painter, area.adjusted(0, band, 0, 0), unit, chart);
}

void PaintSeriesChart(
    QPainter& painter, const QRectF& area, double unit, const std::vector<const ChartData*>& charts)
{
    const QFontMetricsF metrics(ChartFont(unit), painter.device());
    const Legend legend = SeriesLegend(metrics, area.width(), unit, charts);
    PaintSeriesChart(painter, SeriesLayout(area, unit, legend, charts), unit, charts);
}

ChartLayout LayoutSeriesChart(const QRectF& area, double unit, const std::vector<const ChartData*>& charts)
{
    const QFontMetricsF metrics(ChartFont(unit));
    return SeriesLayout(area, unit, SeriesLegend(metrics, area.width(), unit, charts), charts);
}

void PaintSeriesChart(
    QPainter& painter, const ChartLayout& layout, double unit, const std::vector<const ChartData*>& charts)
{
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font, painter.device());
    const QRectF& chartArea = layout.area;
    const Legend legend = SeriesLegend(metrics, chartArea.width(), unit, charts);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintAxes(painter, layout, unit);
    painter.save();
    painter.setClipRect(layout.plot);
    for (std::size_t i = 0; i < charts.size(); ++i)
        PaintCurve(painter, layout, *charts[i], SeriesPen(i, unit));
    painter.restore();

    painter.setFont(font);
    const double top = chartArea.bottom() + 2 * unit;
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const int row = static_cast<int>(i / static_cast<std::size_t>(legend.columns));
        const int column = static_cast<int>(i % static_cast<std::size_t>(legend.columns));
        const double x = chartArea.left() + column * legend.columnWidth;
        const double y = top + row * legend.rowHeight;
        const double mid = y + legend.rowHeight / 2;
        painter.setPen(SeriesPen(i, unit));
        painter.drawLine(QPointF(x, mid), QPointF(x + legend.sample, mid));
        painter.setPen(Qt::black);
        const QString name = metrics.elidedText(common::DisplayNameText(charts[i]->name), Qt::ElideMiddle,
            legend.columnWidth - legend.sample - 4 * unit);
        painter.drawText(
            QPointF(x + legend.sample + 2 * unit, mid - metrics.height() / 2 + metrics.ascent()), name);
    }
    painter.restore();
}

double ChartUnitForPixels(int width, int height)
{
    // 8-point text is 13 pixels high on a chart of 800 x 600 pixels, and never below 9.
    return std::max(9.0 / TextPoints, std::min(width / 500.0, height / 375.0));
}

}  // namespace tenso::report
