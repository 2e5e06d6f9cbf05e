#pragma once
// The chart of Tenso Lab: the report's chart of one specimen, or of the whole series, on screen.
// The view zooms (rubber band with the left button, the wheel about the pointer), pans (right or
// middle button), and a double click shows the whole chart again. On one specimen's chart the two
// ends of the elastic fit are handles: dragging one along the elastic line and letting go asks
// for E to be fitted over the new stress range.

#include "charts/chart_data.h"
#include "charts/chart_painter.h"

#include <QRectF>
#include <QWidget>

#include <optional>
#include <utility>
#include <vector>

namespace tenso::lab {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    // One specimen's chart. `sameSpecimen` keeps the zoom (the chart of a refit of the specimen
    // shown); otherwise the whole chart is shown.
    void ShowSpecimen(const report::ChartData& chart, bool sameSpecimen);
    // Every curve of the series with a legend; no handles.
    void ShowSeries(std::vector<report::ChartData> charts);
    // Nothing to show (no specimen selected, or a failed file): a line of text instead.
    void ShowNothing(const QString& why);

    // The strain (%) and stress (MPa) shown; the whole chart unless zoomed.
    QRectF ViewRange() const;
    void ResetZoom();

    // The pixel positions of the fit's two handles (low stress first), for tests and tooltips;
    // unset without a fit.
    std::optional<std::pair<QPointF, QPointF>> HandlePositions() const;

Q_SIGNALS:
    // A handle was let go: fit E over [lo, hi] MPa.
    void ModulusRangeEdited(double lo, double hi);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
};

}  // namespace tenso::lab
