#pragma once

#include "state/surface.h"

#include <QImage>
#include <QPainter>
#include <QSize>

namespace tenso {

// A plot surface that paints into an image and keeps it until Cls; it needs no window, so batch
// evaluation can render the same drawing. The image holds devicePixelRatio device pixels per logical
// pixel; lines and circles are one logical pixel wide (rounded to whole device pixels), aliased.
//
// Every coordinate is mapped and clipped in double precision before it reaches QPainter, so points
// anywhere in the Single range (far outside the plot) draw what is visible and nothing else.
class ImageSurface : public Surface {
public:
    explicit ImageSurface(QSize logicalSize, qreal devicePixelRatio = 1.0);
    // Paints onto another device instead (a picture or SVG generator) of logicalSize x scale device
    // pixels; Finish() ends the painting. Image() is empty then.
    ImageSurface(QPaintDevice* device, QSize logicalSize, int scale);
    void Finish();
    // True when painting could not start on the device (a device that cannot be written); the
    // drawing operations then do nothing, rather than warn once each.
    bool Failed() const { return failed_; }

    void Cls() override;
    void Scale(float x1, float y1, float x2, float y2) override;
    void PSet(float x, float y, Color c) override;
    void LineTo(float x, float y, Color c) override;
    void Line(float x1, float y1, float x2, float y2, Color c) override;
    void Circle(float x, float y, float radius, Color c) override;

    // The drawing in device pixels, white where nothing was drawn.
    const QImage& Image() const;
    QSize LogicalSize() const { return logicalSize_; }

private:
    struct Point {
        double x, y;
    };

    Point toDevice(double x, double y) const;
    QPainter* painter(Color c);  // nullptr when painting cannot start
    void segment(Point a, Point b, Color c);
    void arc(Point centre, double radius, Color c);

    QSize logicalSize_;
    QImage image_;
    QPaintDevice* device_;
    int width_, height_;
    mutable QPainter painter_;  // kept open between operations; Image() ends it
    int penWidth_ = 1;
    bool failed_ = false;
    // The user scale: the top-left corner (left_, top_) and bottom-right corner (right_, bottom_).
    double left_ = 0, top_ = 0, right_ = 1, bottom_ = 1;
    float penX_ = 0, penY_ = 0;
};

}  // namespace tenso
