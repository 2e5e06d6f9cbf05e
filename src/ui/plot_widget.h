#pragma once

#include "image_surface.h"

#include <QFrame>

namespace tenso {

// The plot area Picture1: a framed white drawing area whose drawing is kept in an image at the
// screen's device pixel ratio until Cls. Painting only copies that image, so a window that covers
// and uncovers the plot takes nothing away.
class PlotWidget : public QFrame, public Surface {
    Q_OBJECT

public:
    // `size` is the outer size, frame included.
    PlotWidget(QSize size, QWidget* parent);

    void Cls() override;
    void Scale(float x1, float y1, float x2, float y2) override;
    void PSet(float x, float y, Color c) override;
    void LineTo(float x, float y, Color c) override;
    void Line(float x1, float y1, float x2, float y2, Color c) override;
    void Circle(float x, float y, float radius, Color c) override;

    const ImageSurface& Drawing() const { return surface_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ImageSurface surface_;
};

}  // namespace tenso
