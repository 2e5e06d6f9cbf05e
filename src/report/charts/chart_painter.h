#pragma once
// The one painter of tenso-report's charts, for PDF pages, PNG and SVG alike: stress in MPa over
// strain in % from the strain origin, with axes, ticks at 1-2-5 steps, a light grid, the curve, the
// elastic and offset lines and the characteristic points; or a series of curves with a legend.

#include "chart_data.h"
#include "ticks.h"

#include <QPointF>
#include <QRectF>

#include <vector>

class QPainter;

namespace tenso::report {

// Where a chart's data lands: the plot rectangle inside the area and the axes it spans.
struct ChartLayout {
    QRectF area, plot;
    Axis x, y;
    QPointF Map(double strainPercent, double stress) const;
};

// `unit` is the size of a typographic point in device units (1200 / 72 on a 1200 dpi PDF page, about
// 1.6 for a chart of 800 x 600 pixels): text, lines and margins scale with it. The axes hold the
// extents from zero and end on whole tick steps.
ChartLayout LayoutChart(const QRectF& area, double unit, double xMin, double xMax, double yMin, double yMax);

// The same plot rectangle over axes that span exactly [xLo, xHi] and [yLo, yHi] (a zoomed view on
// screen), with ticks at the multiples of a 1-2-5 step within them.
ChartLayout LayoutExactChart(const QRectF& area, double unit, double xLo, double xHi, double yLo, double yHi);

// One specimen.
ChartLayout PaintChart(QPainter& painter, const QRectF& area, double unit, const ChartData& chart);
// The same over a layout of the caller's, from LayoutChart or LayoutExactChart.
void PaintChart(QPainter& painter, const ChartLayout& layout, double unit, const ChartData& chart);

// One specimen under its file name, for a chart that stands alone (--plot).
ChartLayout PaintTitledChart(QPainter& painter, const QRectF& area, double unit, const ChartData& chart);

// Every curve of a series in a colour of its own, with a legend of the file names below the plot.
void PaintSeriesChart(
    QPainter& painter, const QRectF& area, double unit, const std::vector<const ChartData*>& charts);
// The layout of that chart in `area`: its `area` is the part above the legend, its axes hold every
// curve from the origin.
ChartLayout LayoutSeriesChart(const QRectF& area, double unit, const std::vector<const ChartData*>& charts);
// The series chart over a layout of the caller's whose `area` leaves room for the legend below it,
// as LayoutSeriesChart's does; the legend is as wide as that area.
void PaintSeriesChart(
    QPainter& painter, const ChartLayout& layout, double unit, const std::vector<const ChartData*>& charts);

// The point size that suits a chart of this many pixels.
double ChartUnitForPixels(int width, int height);

}  // namespace tenso::report
