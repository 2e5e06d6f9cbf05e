#include "chart_view.h"

#include "decimate.h"
#include "ticks.h"

#include "common/qt_text.h"

#include <QEvent>
#include <QFont>
#include <QFontMetricsF>
#include <QMouseEvent>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QPen>
#include <QPolygonF>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace tenso::lab {

// report::PaintChart lays out its own axes: from zero and widened to whole tick steps, as a page
// wants. A zoomed view must show exactly the rectangle the user chose, anywhere on the curve, so the
// view paints the report's chart itself over the axes it is given, with the report's layout,
// fonts, pens and colours. At the whole chart those axes are the report's own (LayoutChart), and the
// picture is the report's picture; the tests hold the two together.

namespace {

constexpr double TextPoints = 8;  // as the report's tick numbers, labels and legend

constexpr std::array<QRgb, 10> Palette
    = {0x1f77b4, 0xd62728, 0x2ca02c, 0xff7f0e, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f, 0xbcbd22, 0x17becf};

constexpr double HandleGrab = 8;  // pixels from a handle's centre that still take it
constexpr double DragStart = 3;  // pixels the pointer moves before a handle follows it
constexpr double MinBand = 5;  // a smaller rubber band is a click, not a zoom
constexpr double ZoomStep = 1.25;  // per wheel notch
// How far a view may shrink or grow against the whole chart: beyond a thousandth the kept curve's
// columns show as straight pieces and the tick numbers outgrow their margin.
constexpr double MinSpan = 1e-3, MaxSpan = 10;

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

QPen Pen(const QColor& colour, double width, Qt::PenStyle style = Qt::SolidLine)
{
    return {colour, width, style, Qt::FlatCap, Qt::RoundJoin};
}

QPen SeriesPen(std::size_t i, double unit)
{
    const Qt::PenStyle styles[] = {Qt::SolidLine, Qt::DashLine, Qt::DotLine, Qt::DashDotLine};
    return Pen(QColor(Palette[i % Palette.size()]), 0.9 * unit, styles[(i / Palette.size()) % 4]);
}

QRectF RangeOf(const report::ChartLayout& layout)
{
    return {layout.x.lo, layout.y.lo, layout.x.hi - layout.x.lo, layout.y.hi - layout.y.lo};
}

// The inverse of ChartLayout::Map.
QPointF DataAt(const report::ChartLayout& layout, QPointF pixel)
{
    const QRectF& plot = layout.plot;
    return {layout.x.lo + (pixel.x() - plot.left()) / plot.width() * (layout.x.hi - layout.x.lo),
        layout.y.lo + (plot.bottom() - pixel.y()) / plot.height() * (layout.y.hi - layout.y.lo)};
}

// The report's plot rectangle for the area, over axes that span exactly `range`, with as many tick
// intervals at most as the report would put there.
report::ChartLayout ViewLayout(const QRectF& area, double unit, const QRectF& range)
{
    report::ChartLayout layout
        = report::LayoutChart(area, unit, range.left(), range.right(), range.top(), range.bottom());
    const QFontMetricsF metrics(ChartFont(unit));
    const int xIntervals = std::clamp(
        static_cast<int>(layout.plot.width() / (metrics.horizontalAdvance(QStringLiteral("88.88")) * 2)), 2,
        10);
    const int yIntervals
        = std::clamp(static_cast<int>(layout.plot.height() / (metrics.height() * 2.5)), 2, 10);
    layout.x = {range.left(), range.right(), report::TickStep(range.width(), xIntervals)};
    layout.y = {range.top(), range.bottom(), report::TickStep(range.height(), yIntervals)};
    return layout;
}

// The multiples of the axis' step within it; at the whole chart the ends are such multiples, and
// the values are the report's own.
std::vector<double> TickValues(const report::Axis& axis)
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

void PaintAxes(QPainter& painter, const report::ChartLayout& layout, double unit)
{
    const QRectF& plot = layout.plot;
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    const double tick = 3 * unit;
    const int xDecimals = report::TickDecimals(layout.x.step);
    const int yDecimals = report::TickDecimals(layout.y.step);
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

void PaintCurve(
    QPainter& painter, const report::ChartLayout& layout, const report::ChartData& chart, const QPen& pen)
{
    const std::size_t n = std::min(chart.x.size(), chart.y.size());
    if (n == 0)
        return;
    // Only the stretch of the curve that crosses the view, and one point on either side, so that
    // a zoomed view is thinned over its own columns and the curve leaves the plot where it should.
    const double lo = layout.x.lo, hi = layout.x.hi;
    const auto crosses = [&](std::size_t i) {
        const double a = chart.x[i], b = chart.x[i + 1];
        return std::min(a, b) <= hi && std::max(a, b) >= lo;
    };
    std::size_t begin = n, end = 0;
    if (n == 1) {
        begin = 0;
        end = 1;
    }
    for (std::size_t i = 0; i + 1 < n; ++i) {
        if (crosses(i)) {
            begin = std::min(begin, i);
            end = std::max(end, i + 2);
        }
    }
    if (begin >= end)
        return;

    // Thinned to two columns a pixel, as the report does on screen.
    const auto columns = static_cast<std::size_t>(std::max(1.0, layout.plot.width()));
    const auto first = static_cast<std::ptrdiff_t>(begin), last = static_cast<std::ptrdiff_t>(end);
    const std::vector<double> xs(chart.x.begin() + first, chart.x.begin() + last);
    const std::vector<double> ys(chart.y.begin() + first, chart.y.begin() + last);
    const std::vector<std::size_t> kept = report::DecimateIndices(xs, ys, lo, hi, columns);
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
    // A wide antialiased line in a raster costs Qt an outline of the whole polyline; one-pixel
    // (cosmetic) lines side by side give the width at a fiftieth of the time, as in the report.
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
// ends of the elastic line far outside the widget, where the raster's fixed-point stroking of a
// wide or dashed line is neither exact nor quick.
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

void PaintSegment(
    QPainter& painter, const report::ChartLayout& layout, const report::ChartSegment& s, const QPen& pen)
{
    QPointF a = layout.Map(s.x0, s.y0), b = layout.Map(s.x1, s.y1);
    const double margin = 2 * pen.widthF() + 2;
    if (!ClipSegment(a, b, layout.plot.adjusted(-margin, -margin, margin, margin)))
        return;
    painter.setPen(pen);
    painter.drawLine(a, b);
}

void PaintMarkers(
    QPainter& painter, const report::ChartLayout& layout, double unit, const report::ChartData& chart)
{
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    std::vector<QRectF> taken;
    const double r = 2.2 * unit;
    for (const auto& marker : chart.markers) {
        const QPointF p = layout.Map(marker.x, marker.y);
        if (!layout.plot.adjusted(-1, -1, 1, 1).contains(p))
            continue;
        painter.setPen(Pen(Qt::black, 0.6 * unit));
        painter.setBrush(QColor(0xff, 0xd7, 0x00));
        painter.drawEllipse(p, r, r);

        // The label at the first place around the marker that neither overlaps an earlier label
        // nor leaves the plot.
        const QString text = QString::fromStdString(marker.label);
        const QSizeF size(metrics.horizontalAdvance(text) + unit, metrics.height());
        const double gap = r + unit;
        const std::array<QPointF, 8> corners = {
            QPointF(p.x() + gap, p.y() - gap - size.height()),
            QPointF(p.x() + gap, p.y() + gap),
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

// The series' legend below the plot, in as many columns as the width takes.
struct Legend {
    int columns = 1, rows = 0;
    double sample = 0, rowHeight = 0, columnWidth = 0, height = 0;
};

Legend SeriesLegend(const QRectF& area, double unit, const std::vector<report::ChartData>& charts)
{
    const QFontMetricsF metrics(ChartFont(unit));
    Legend legend;
    legend.sample = 14 * unit;
    double widest = 0;
    for (const auto& chart : charts)
        widest = std::max(widest, metrics.horizontalAdvance(common::DisplayNameText(chart.name)));
    const double entryWidth = std::min(legend.sample + 2 * unit + widest + 6 * unit, area.width());
    legend.columns = entryWidth > 0 ? std::max(1, static_cast<int>(area.width() / entryWidth)) : 1;
    const auto columns = static_cast<std::size_t>(legend.columns);
    legend.rows = static_cast<int>((charts.size() + columns - 1) / columns);
    legend.rowHeight = metrics.height() * 1.2;
    legend.height = legend.rows * legend.rowHeight + (legend.rows > 0 ? 2 * unit : 0);
    legend.columnWidth = area.width() / legend.columns;
    return legend;
}

void PaintLegend(QPainter& painter, const QRectF& area, const QRectF& chartArea, double unit,
    const std::vector<report::ChartData>& charts)
{
    const Legend legend = SeriesLegend(area, unit, charts);
    const QFont font = ChartFont(unit);
    const QFontMetricsF metrics(font, painter.device());
    painter.setFont(font);
    const double top = chartArea.bottom() + 2 * unit;
    const auto columns = static_cast<std::size_t>(legend.columns);
    for (std::size_t i = 0; i < charts.size(); ++i) {
        const std::size_t row = i / columns, column = i % columns;
        const double x = area.left() + static_cast<double>(column) * legend.columnWidth;
        const double y = top + static_cast<double>(row) * legend.rowHeight;
        const double mid = y + legend.rowHeight / 2;
        painter.setPen(SeriesPen(i, unit));
        painter.drawLine(QPointF(x, mid), QPointF(x + legend.sample, mid));
        painter.setPen(Qt::black);
        const QString name = metrics.elidedText(common::DisplayNameText(charts[i].name), Qt::ElideMiddle,
            legend.columnWidth - legend.sample - 4 * unit);
        painter.drawText(
            QPointF(x + legend.sample + 2 * unit, mid - metrics.height() / 2 + metrics.ascent()), name);
    }
}

void PaintHandle(QPainter& painter, QPointF at, double radius, bool active)
{
    painter.setPen(QPen(QColor(0x33, 0x33, 0x33), 1.5));
    painter.setBrush(active ? QColor(0xd9, 0x5f, 0x02) : QColor(0xf2, 0xb7, 0x05));
    painter.drawEllipse(at, radius, radius);
}

bool HandleVisible(const report::ChartLayout& layout, QPointF at)
{
    return layout.plot.adjusted(-1, -1, 1, 1).contains(at);
}

// Grows a span below the smallest allowed, or shrinks one above the largest, about its middle.
void LimitSpan(double& lo, double& span, double home)
{
    const double limited = std::clamp(span, MinSpan * home, MaxSpan * home);
    lo += (span - limited) / 2;
    span = limited;
}

}  // namespace

ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("chartView"));
    setMouseTracking(true);  // for the cursor and the tooltip over a handle
    setAttribute(Qt::WA_OpaquePaintEvent);  // every paint fills the widget white first
    setMinimumSize(200, 150);
}

void ChartView::ShowSpecimen(const report::ChartData& chart, bool sameSpecimen)
{
    EndDrag();
    if (!sameSpecimen || mode_ != Mode::Specimen)
        zoom_.reset();
    mode_ = Mode::Specimen;
    chart_ = chart;
    series_.clear();
    update();
}

void ChartView::ShowSeries(std::vector<report::ChartData> charts)
{
    EndDrag();
    // The series comes again whenever a specimen is refitted or left out; a zoom on it stays.
    if (mode_ != Mode::Series)
        zoom_.reset();
    mode_ = Mode::Series;
    series_ = std::move(charts);
    chart_ = {};
    update();
}

void ChartView::ShowNothing(const QString& why)
{
    EndDrag();
    zoom_.reset();
    mode_ = Mode::Nothing;
    nothing_ = why;
    chart_ = {};
    series_.clear();
    update();
}

QRectF ChartView::ViewRange() const { return zoom_ ? *zoom_ : RangeOf(HomeLayout()); }

void ChartView::ResetZoom()
{
    zoom_.reset();
    update();
}

std::optional<std::pair<QPointF, QPointF>> ChartView::HandlePositions() const
{
    const auto fit = ShownFit();
    if (!fit)
        return std::nullopt;
    const report::ChartLayout layout = CurrentLayout();
    QPointF low = layout.Map(fit->x0, fit->y0), high = layout.Map(fit->x1, fit->y1);
    if (fit->y1 < fit->y0)  // a handle dragged past the other
        std::swap(low, high);
    return std::pair {low, high};
}

double ChartView::Unit() const { return report::ChartUnitForPixels(width(), height()); }

QRectF ChartView::ChartArea() const
{
    const QRectF area(rect());
    if (mode_ != Mode::Series)
        return area;
    const Legend legend = SeriesLegend(area, Unit(), series_);
    return {area.left(), area.top(), area.width(), std::max(1.0, area.height() - legend.height)};
}

report::ChartLayout ChartView::HomeLayout() const
{
    double xMin = chart_.xMin, xMax = chart_.xMax, yMin = chart_.yMin, yMax = chart_.yMax;
    if (mode_ == Mode::Series) {
        // As the report's series chart: from the origin over every curve.
        xMin = xMax = yMin = yMax = 0;
        for (const auto& chart : series_) {
            xMin = std::min(xMin, chart.xMin);
            xMax = std::max(xMax, chart.xMax);
            yMin = std::min(yMin, chart.yMin);
            yMax = std::max(yMax, chart.yMax);
        }
    }
    return report::LayoutChart(ChartArea(), Unit(), xMin, xMax, yMin, yMax);
}

report::ChartLayout ChartView::CurrentLayout() const
{
    return zoom_ ? ViewLayout(ChartArea(), Unit(), *zoom_) : HomeLayout();
}

std::optional<report::ChartSegment> ChartView::ShownFit() const
{
    if (mode_ != Mode::Specimen || !chart_.fit)
        return std::nullopt;
    if (drag_ != Drag::Handle)
        return chart_.fit;
    // Both ends on the elastic line through the fit's ends, at the provisional stresses.
    const report::ChartSegment& fit = *chart_.fit;
    const auto strainAt = [&fit](double stress) {
        return fit.y1 == fit.y0 ? fit.x0 : fit.x0 + (stress - fit.y0) * (fit.x1 - fit.x0) / (fit.y1 - fit.y0);
    };
    return report::ChartSegment {strainAt(dragLo_), dragLo_, strainAt(dragHi_), dragHi_};
}

int ChartView::HandleAt(QPointF pixel) const
{
    const auto fit = ShownFit();
    if (!fit)
        return -1;
    const report::ChartLayout layout = CurrentLayout();
    int nearest = -1;
    double best = HandleGrab;
    const std::array<QPointF, 2> ends = {layout.Map(fit->x0, fit->y0), layout.Map(fit->x1, fit->y1)};
    for (int i = 0; i < 2; ++i) {
        const QPointF end = ends[static_cast<std::size_t>(i)];
        const double distance = std::hypot(end.x() - pixel.x(), end.y() - pixel.y());
        if (HandleVisible(layout, end) && distance <= best) {
            best = distance;
            nearest = i;
        }
    }
    return nearest;
}

void ChartView::SetView(QRectF range)
{
    range = range.normalized();
    const QRectF home = RangeOf(HomeLayout());
    double left = range.left(), width = range.width(), top = range.top(), height = range.height();
    LimitSpan(left, width, home.width());
    LimitSpan(top, height, home.height());
    zoom_ = QRectF(left, top, width, height);
    update();
}

void ChartView::Hover(QPointF pixel)
{
    const int handle = HandleAt(pixel);
    if (handle == hovered_)
        return;
    hovered_ = handle;
    if (handle < 0) {
        unsetCursor();
        setToolTip({});
    } else {
        setCursor(Qt::SizeVerCursor);
        const double stress = handle == 0 ? chart_.fit->y0 : chart_.fit->y1;
        const QString text = handle == 0 ? tr("Drag to fit E from %1 MPa") : tr("Drag to fit E up to %1 MPa");
        setToolTip(text.arg(QString::number(stress, 'f', 1)));
    }
    update();
}

void ChartView::EndDrag()
{
    drag_ = Drag::None;
    dragButton_ = Qt::NoButton;
    handle_ = -1;
    following_ = false;
    hovered_ = -1;
    unsetCursor();
    setToolTip({});
}

void ChartView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (mode_ == Mode::Nothing) {
        painter.setPen(QColor(0x80, 0x80, 0x80));
        const QString text = fontMetrics().elidedText(nothing_, Qt::ElideRight, width() - 20);
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextSingleLine, text);
        return;
    }

    const double unit = Unit();
    const report::ChartLayout layout = CurrentLayout();
    // In the report's order: axes, then clipped to the plot the lines, the fit, the curve and the
    // characteristic points.
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    PaintAxes(painter, layout, unit);
    painter.setClipRect(layout.plot);
    if (mode_ == Mode::Specimen) {
        const QColor lines(0x55, 0x55, 0x55);
        if (chart_.elastic)
            PaintSegment(painter, layout, *chart_.elastic, Pen(lines, 0.7 * unit, Qt::DashLine));
        for (const auto& offset : chart_.offsets)
            PaintSegment(painter, layout, offset, Pen(lines, 0.7 * unit, Qt::DotLine));
        const auto fit = ShownFit();
        if (fit)
            PaintSegment(painter, layout, *fit, Pen(QColor(0xf2, 0xb7, 0x05, 0x90), 4.5 * unit));
        PaintCurve(painter, layout, chart_, Pen(QColor(Palette[0]), 1.1 * unit));
        PaintMarkers(painter, layout, unit, chart_);
    } else {
        for (std::size_t i = 0; i < series_.size(); ++i)
            PaintCurve(painter, layout, series_[i], SeriesPen(i, unit));
    }
    painter.setClipping(false);
    if (mode_ == Mode::Series)
        PaintLegend(painter, QRectF(rect()), layout.area, unit, series_);
    if (const auto fit = ShownFit()) {
        // Larger than the characteristic points and outlined, so that they read as things to take
        // hold of; whole even on the plot's edge (E fitted from near zero), and not at all where
        // the view leaves them out and they cannot be taken.
        const double radius = std::max(5.0, 3.2 * unit);
        const int active = drag_ == Drag::Handle ? handle_ : hovered_;
        const std::array<QPointF, 2> ends = {layout.Map(fit->x0, fit->y0), layout.Map(fit->x1, fit->y1)};
        for (std::size_t i = 0; i < 2; ++i) {
            if (HandleVisible(layout, ends[i]))
                PaintHandle(painter, ends[i], radius, active == static_cast<int>(i));
        }
    }
    painter.restore();

    if (drag_ == Drag::Band) {
        const QRectF band = QRectF(pressPixel_, pointerPixel_).normalized() & layout.plot;
        painter.setPen(QPen(QColor(Palette[0]), 1));
        painter.setBrush(QColor(0x1f, 0x77, 0xb4, 0x30));
        painter.drawRect(band);
    }
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    if (mode_ == Mode::Nothing || drag_ != Drag::None) {
        event->ignore();
        return;
    }
    const QPointF pixel = event->position();
    const Qt::MouseButton button = event->button();
    if (button == Qt::LeftButton) {
        const int handle = HandleAt(pixel);
        if (handle >= 0) {
            drag_ = Drag::Handle;
            handle_ = handle;
            dragLo_ = chart_.fit->y0;
            dragHi_ = chart_.fit->y1;
            setCursor(Qt::SizeVerCursor);
        } else {
            drag_ = Drag::Band;
        }
    } else if (button == Qt::RightButton || button == Qt::MiddleButton) {
        drag_ = Drag::Pan;
        pressRange_ = ViewRange();
        setCursor(Qt::ClosedHandCursor);
    } else {
        event->ignore();
        return;
    }
    dragButton_ = button;
    pressPixel_ = pointerPixel_ = pixel;
    event->accept();
    update();
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF pixel = event->position();
    switch (drag_) {
    case Drag::None:
        if (mode_ != Mode::Nothing)
            Hover(pixel);
        return;
    case Drag::Band:
        pointerPixel_ = pixel;
        update();
        return;
    case Drag::Pan: {
        const QRectF plot = CurrentLayout().plot;
        const QPointF moved = pixel - pressPixel_;
        if (moved.isNull())
            return;
        // The data follows the pointer: a move to the right shows lower strains.
        const double dx = -moved.x() / plot.width() * pressRange_.width();
        const double dy = moved.y() / plot.height() * pressRange_.height();
        zoom_ = pressRange_.translated(dx, dy);
        update();
        return;
    }
    case Drag::Handle: {
        // Until the pointer has really moved, a click on a handle does not shift it to the
        // pointer's pixel.
        if (!following_ && (pixel - pressPixel_).manhattanLength() < DragStart)
            return;
        following_ = true;
        pointerPixel_ = pixel;
        const double stress = std::max(0.0, DataAt(CurrentLayout(), pixel).y());
        (handle_ == 0 ? dragLo_ : dragHi_) = stress;
        update();
        return;
    }
    }
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    if (drag_ == Drag::None || event->button() != dragButton_) {
        event->ignore();
        return;
    }
    event->accept();
    const QPointF pixel = event->position();
    const report::ChartLayout layout = CurrentLayout();
    const Drag drag = drag_;
    const int handle = handle_;
    const double lo = std::min(dragLo_, dragHi_), hi = std::max(dragLo_, dragHi_);
    const double to = handle_ == 0 ? dragLo_ : dragHi_;  // where the dragged handle was let go
    EndDrag();
    update();

    if (drag == Drag::Band) {
        const QRectF band = QRectF(pressPixel_, pixel).normalized() & layout.plot;
        if (band.width() >= MinBand && band.height() >= MinBand) {
            const QPointF low = DataAt(layout, band.bottomLeft());
            const QPointF high = DataAt(layout, band.topRight());
            SetView(QRectF(low, high));
        }
    } else if (drag == Drag::Handle && chart_.fit) {
        // Neither a handle let go where it was taken nor a range of a pixel or less is a new fit.
        const double pixelsPerMPa = layout.plot.height() / (layout.y.hi - layout.y.lo);
        const double from = handle == 0 ? chart_.fit->y0 : chart_.fit->y1;
        const bool moved = std::abs(to - from) * pixelsPerMPa > 1;
        if (moved && (hi - lo) * pixelsPerMPa > 1)
            Q_EMIT ModulusRangeEdited(lo, hi);
    }
    Hover(pixel);
}

void ChartView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton || mode_ == Mode::Nothing) {
        event->ignore();
        return;
    }
    // The press before it began a band or took a handle; the double click is neither.
    EndDrag();
    ResetZoom();
    event->accept();
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const double notches = event->angleDelta().y() / 120.0;
    if (mode_ == Mode::Nothing || drag_ != Drag::None || notches == 0) {
        event->ignore();
        return;
    }
    event->accept();
    // About the data point under the pointer, which stays under it; the factor is held within the
    // limits of SetView per axis so that the point does not drift when one of them is reached.
    const report::ChartLayout layout = CurrentLayout();
    const QPointF at = DataAt(layout, event->position());
    const QRectF view = RangeOf(layout);
    const QRectF home = RangeOf(HomeLayout());
    const double factor = std::pow(ZoomStep, -notches);
    const double fx
        = std::clamp(factor, MinSpan * home.width() / view.width(), MaxSpan * home.width() / view.width());
    const double fy = std::clamp(
        factor, MinSpan * home.height() / view.height(), MaxSpan * home.height() / view.height());
    SetView(QRectF(at.x() - (at.x() - view.left()) * fx, at.y() - (at.y() - view.top()) * fy,
        view.width() * fx, view.height() * fy));
}

void ChartView::leaveEvent(QEvent* /*event*/)
{
    if (drag_ == Drag::None && hovered_ >= 0) {
        hovered_ = -1;
        unsetCursor();
        setToolTip({});
        update();
    }
}

}  // namespace tenso::lab
