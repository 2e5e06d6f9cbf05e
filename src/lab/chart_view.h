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
    // Every curve of the series with a legend; no handles. A zoom on the series shown before stays.
    void ShowSeries(std::vector<report::ChartData> charts);
    // Nothing to show (no specimen selected, or a failed file): a line of text instead.
    void ShowNothing(const QString& why);

    // The strain (%) and stress (MPa) shown; the whole chart unless zoomed. The rectangle is in data
    // units, not pixels: left() and right() are the least and greatest strain, top() and bottom()
    // the least and greatest stress (so "top" is the bottom of the plot).
    QRectF ViewRange() const;
    void ResetZoom();

    // The pixel positions of the fit's two handles (low stress first), for tests and tooltips;
    // unset without a fit.
    std::optional<std::pair<QPointF, QPointF>> HandlePositions() const;

Q_SIGNALS:
    // A handle was let go: fit E over [lo, hi] MPa, lo < hi. The chart keeps showing its own fit
    // until ShowSpecimen brings the refitted one.
    void ModulusRangeEdited(double lo, double hi);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    enum class Mode { Nothing, Specimen, Series };
    enum class Drag { None, Band, Pan, Handle };

    void leaveEvent(QEvent* event) override;

    // The report's point size for the widget's size.
    double Unit() const;
    // Where the chart (without the series' legend) goes in the widget.
    QRectF ChartArea() const;
    // The whole chart: the report's own layout and axes for the chart's extents at the current size.
    report::ChartLayout HomeLayout() const;
    // The plot rectangle and the axes of the current view at the current size.
    report::ChartLayout CurrentLayout() const;
    // The fit as shown: the chart's own, or the one being dragged.
    std::optional<report::ChartSegment> ShownFit() const;
    // 0 for the low handle, 1 for the high one, -1 for none.
    int HandleAt(QPointF pixel) const;
    void SetView(QRectF range);
    void Hover(QPointF pixel);
    void EndDrag();

    Mode mode_ = Mode::Nothing;
    report::ChartData chart_;
    std::vector<report::ChartData> series_;
    QString nothing_;
    std::optional<QRectF> zoom_;  // unset: the whole chart, whatever the size

    Drag drag_ = Drag::None;
    Qt::MouseButton dragButton_ = Qt::NoButton;
    QPointF pressPixel_, pointerPixel_;
    QRectF pressRange_;  // the view when a pan began
    int handle_ = -1;  // the handle dragged
    bool following_ = false;  // it has left its place and follows the pointer
    double dragLo_ = 0, dragHi_ = 0;  // its provisional stresses, MPa
    int hovered_ = -1;
};

}  // namespace tenso::lab
