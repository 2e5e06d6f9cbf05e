#include "chart_view.h"
// TEMPORARY stub until the real view lands.
#include <QPainter>
namespace tenso::lab {
namespace {
report::ChartData g;
bool has = false;
}  // namespace
ChartView::ChartView(QWidget* parent)
    : QWidget(parent)
{ }
void ChartView::ShowSpecimen(const report::ChartData& chart, bool)
{
    g = chart;
    has = true;
    update();
}
void ChartView::ShowSeries(std::vector<report::ChartData>) { update(); }
void ChartView::ShowNothing(const QString&)
{
    has = false;
    update();
}
QRectF ChartView::ViewRange() const { return {}; }
void ChartView::ResetZoom() { }
std::optional<std::pair<QPointF, QPointF>> ChartView::HandlePositions() const { return std::nullopt; }
void ChartView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.fillRect(rect(), Qt::white);
    if (has)
        report::PaintChart(p, QRectF(rect()), report::ChartUnitForPixels(width(), height()), g);
}
void ChartView::mousePressEvent(QMouseEvent*) { }
void ChartView::mouseMoveEvent(QMouseEvent*) { }
void ChartView::mouseReleaseEvent(QMouseEvent*) { }
void ChartView::mouseDoubleClickEvent(QMouseEvent*) { }
void ChartView::wheelEvent(QWheelEvent*) { }
}  // namespace tenso::lab
