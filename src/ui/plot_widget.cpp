#include "plot_widget.h"

#include <QPaintEvent>
#include <QPainter>

namespace tenso {

namespace {

constexpr int FrameWidth = 1;

}  // namespace

PlotWidget::PlotWidget(QSize size, QWidget* parent)
    : QFrame(parent)
    , surface_(size - QSize(2 * FrameWidth, 2 * FrameWidth), parent ? parent->devicePixelRatioF() : 1.0)
{
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(FrameWidth);
    setFixedSize(size);
    // The frame and the image cover every pixel: no background fill is needed, and a resize (there
    // is none) would not have to repaint what was there.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_StaticContents);
}

// The painter of a paint event is clipped to the region to repaint already.
void PlotWidget::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.drawImage(QRectF(contentsRect()), surface_.Image());
    drawFrame(&painter);
}

void PlotWidget::Cls()
{
    surface_.Cls();
    update(contentsRect());
}

void PlotWidget::Scale(float x1, float y1, float x2, float y2) { surface_.Scale(x1, y1, x2, y2); }

void PlotWidget::PSet(float x, float y, Color c)
{
    surface_.PSet(x, y, c);
    update(contentsRect());
}

void PlotWidget::LineTo(float x, float y, Color c)
{
    surface_.LineTo(x, y, c);
    update(contentsRect());
}

void PlotWidget::Line(float x1, float y1, float x2, float y2, Color c)
{
    surface_.Line(x1, y1, x2, y2, c);
    update(contentsRect());
}

void PlotWidget::Circle(float x, float y, float radius, Color c)
{
    surface_.Circle(x, y, radius, c);
    update(contentsRect());
}

}  // namespace tenso
