#include "chart_view.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QPen>
#include <QWheelEvent>

#include <algorithm>
#include <array>
#include <cmath>

namespace tenso::lab {

// The view paints with the report's own painter, so that the chart on screen is the report's chart.
// The whole chart is laid out as the report lays it out (LayoutChart, LayoutSeriesChart); a zoomed
// view must show exactly the rectangle the user chose, anywhere on the curve, and gets axes that
// span it (LayoutExactChart) in the same plot rectangle.

namespace {

constexpr QRgb BandColour = 0x1f77b4;  // the report's colour of a specimen's curve
constexpr double HandleGrab = 8;  // pixels from a handle's centre that still take it
constexpr double DragStart = 3;  // pixels the pointer moves before a handle follows it
constexpr double MinBand = 5;  // a smaller rubber band is a click, not a zoom
constexpr double ZoomStep = 1.25;  // per wheel notch
// How far a view may shrink or grow against the whole chart: beyond a thousandth the kept curve's
// columns show as straight pieces and the tick numbers outgrow their margin.
constexpr double MinSpan = 1e-3, MaxSpan = 10;

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

std::vector<const report::ChartData*> Pointers(const std::vector<report::ChartData>& charts)
{
    std::vector<const report::ChartData*> pointers;
    pointers.reserve(charts.size());
    for (const auto& chart : charts)
        pointers.push_back(&chart);
    return pointers;
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

QRectF ChartView::ChartArea() const { return HomeLayout().area; }

report::ChartLayout ChartView::HomeLayout() const
{
    const QRectF area(rect());
    if (mode_ == Mode::Series)
        return report::LayoutSeriesChart(area, Unit(), Pointers(series_));
    return report::LayoutChart(area, Unit(), chart_.xMin, chart_.xMax, chart_.yMin, chart_.yMax);
}

report::ChartLayout ChartView::CurrentLayout() const
{
    if (!zoom_)
        return HomeLayout();
    const QRectF& view = *zoom_;
    return report::LayoutExactChart(
        ChartArea(), Unit(), view.left(), view.right(), view.top(), view.bottom());
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
    if (mode_ == Mode::Series) {
        report::PaintSeriesChart(painter, layout, unit, Pointers(series_));
    } else if (drag_ == Drag::Handle) {
        // The fit where the handle is being dragged to, in place of the chart's own.
        report::ChartData shown = chart_;
        shown.fit = ShownFit();
        report::PaintChart(painter, layout, unit, shown);
    } else {
        report::PaintChart(painter, layout, unit, chart_);
    }
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
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
        painter.setPen(QPen(QColor(BandColour), 1));
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
