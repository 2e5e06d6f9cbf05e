#include "image_surface.h"

#include <QPen>
#include <QPoint>
#include <QRect>

#include <algorithm>
#include <cmath>

namespace tenso {

namespace {

constexpr double TwipsPerPixel = 15;

// Circles up to this radius (in device pixels, or four view diagonals if that is larger) go to
// QPainter whole; larger ones are drawn as the short visible stretch of their arc.
constexpr double DirectCircleLimit = 4096;
constexpr int ArcSegments = 512;

bool Finite(double a, double b) { return std::isfinite(a) && std::isfinite(b); }

// Cuts the segment a-b to the rectangle; false when nothing of it lies inside. An upright or level
// segment keeps its one coordinate exactly, however far its ends lie. Otherwise (Liang-Barsky) each
// cut end is computed from the nearer original end, so a segment with one end in or near the view
// is exact to the pixel; one with both ends astronomically far is placed as well as double allows.
template <typename P> bool ClipSegment(P& a, P& b, double xmin, double ymin, double xmax, double ymax)
{
    const double dx = b.x - a.x;
    const double dy = b.y - a.y;
    if (dx == 0 || dy == 0) {
        if (std::max(a.x, b.x) < xmin || std::min(a.x, b.x) > xmax || std::max(a.y, b.y) < ymin
            || std::min(a.y, b.y) > ymax)
            return false;
        a = {std::clamp(a.x, xmin, xmax), std::clamp(a.y, ymin, ymax)};
        b = {std::clamp(b.x, xmin, xmax), std::clamp(b.y, ymin, ymax)};
        return true;
    }
    double t0 = 0, t1 = 1;
    const auto edge = [&](double p, double q) {
        const double r = q / p;
        if (p < 0) {
            if (r > t1)
                return false;
            t0 = std::max(t0, r);
        } else {
            if (r < t0)
                return false;
            t1 = std::min(t1, r);
        }
        return true;
    };
    if (!edge(-dx, a.x - xmin) || !edge(dx, xmax - a.x) || !edge(-dy, a.y - ymin) || !edge(dy, ymax - a.y))
        return false;
    const auto at = [&, a0 = a, b0 = b](double t) -> P {
        if (t <= 0.5)
            return {a0.x + t * dx, a0.y + t * dy};
        return {b0.x - (1 - t) * dx, b0.y - (1 - t) * dy};
    };
    const P start = at(t0);
    b = at(t1);
    a = start;
    return true;
}

QPoint Pixel(double x, double y)
{
    return {static_cast<int>(std::floor(x)), static_cast<int>(std::floor(y))};
}

}  // namespace

ImageSurface::ImageSurface(QSize logicalSize, qreal devicePixelRatio)
    : logicalSize_(logicalSize)
    , image_(std::max(1, qRound(logicalSize.width() * devicePixelRatio)),
          std::max(1, qRound(logicalSize.height() * devicePixelRatio)), QImage::Format_RGB32)
    , device_(&image_)
    , width_(image_.width())
    , height_(image_.height())
    , penWidth_(std::max(1, qRound(devicePixelRatio)))
    // Until a scale is set the surface measures in twips, like a fresh picture box.
    , right_(logicalSize.width() * TwipsPerPixel)
    , bottom_(logicalSize.height() * TwipsPerPixel)
{
    image_.fill(Qt::white);
}

ImageSurface::ImageSurface(QPaintDevice* device, QSize logicalSize, int scale)
    : logicalSize_(logicalSize)
    , device_(device)
    , width_(logicalSize.width() * scale)
    , height_(logicalSize.height() * scale)
    , penWidth_(std::max(1, scale))
    , right_(logicalSize.width() * TwipsPerPixel)
    , bottom_(logicalSize.height() * TwipsPerPixel)
{
    Cls();
}

void ImageSurface::Finish()
{
    if (painter_.isActive())
        painter_.end();
}

const QImage& ImageSurface::Image() const
{
    if (painter_.isActive())
        painter_.end();
    return image_;
}

void ImageSurface::Cls()
{
    if (device_ == &image_) {
        if (painter_.isActive())
            painter_.end();
        image_.fill(Qt::white);
    } else {
        if (QPainter* p = painter(colors::White))
            p->fillRect(QRect(0, 0, width_, height_), Qt::white);
    }
    penX_ = 0;
    penY_ = 0;
}

void ImageSurface::Scale(float x1, float y1, float x2, float y2)
{
    // The callers never pass an empty scale; should one come, the old scale is the safer choice.
    if (x1 == x2 || y1 == y2 || !Finite(x1, y1) || !Finite(x2, y2))
        return;
    left_ = x1;
    top_ = y1;
    right_ = x2;
    bottom_ = y2;
}

ImageSurface::Point ImageSurface::toDevice(double x, double y) const
{
    return {(x - left_) * (width_ / (right_ - left_)), (y - top_) * (height_ / (bottom_ - top_))};
}

QPainter* ImageSurface::painter(Color c)
{
    if (!painter_.isActive()) {
        if (failed_ || !painter_.begin(device_)) {
            failed_ = true;
            return nullptr;
        }
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setBrush(Qt::NoBrush);
    }
    QPen pen(QColor(c.r, c.g, c.b));
    pen.setWidth(penWidth_);
    pen.setCosmetic(true);
    painter_.setPen(pen);
    return &painter_;
}

void ImageSurface::PSet(float x, float y, Color c)
{
    penX_ = x;
    penY_ = y;
    const Point p = toDevice(x, y);
    if (!Finite(p.x, p.y) || p.x < 0 || p.y < 0 || p.x >= width_ || p.y >= height_)
        return;
    if (QPainter* painting = painter(c))
        painting->fillRect(QRect(Pixel(p.x, p.y), QSize(penWidth_, penWidth_)), QColor(c.r, c.g, c.b));
}

void ImageSurface::LineTo(float x, float y, Color c)
{
    const Point from = toDevice(penX_, penY_);
    penX_ = x;
    penY_ = y;
    segment(from, toDevice(x, y), c);
}

void ImageSurface::Line(float x1, float y1, float x2, float y2, Color c)
{
    penX_ = x2;
    penY_ = y2;
    segment(toDevice(x1, y1), toDevice(x2, y2), c);
}

void ImageSurface::segment(Point a, Point b, Color c)
{
    if (!Finite(a.x, a.y) || !Finite(b.x, b.y))
        return;
    // A margin of a few pixels keeps the cut ends out of sight, so the cut never shows.
    const double m = penWidth_ + 2;
    if (!ClipSegment(a, b, -m, -m, width_ + m, height_ + m))
        return;
    if (QPainter* p = painter(c))
        p->drawLine(Pixel(a.x, a.y), Pixel(b.x, b.y));
}

void ImageSurface::Circle(float x, float y, float radius, Color c)
{
    penX_ = x;
    penY_ = y;
    const Point centre = toDevice(x, y);
    // The radius is in X units, so the X scale alone sets its size on screen.
    const double r = std::fabs(static_cast<double>(radius) * (width_ / (right_ - left_)));
    if (!Finite(centre.x, centre.y) || !std::isfinite(r))
        return;

    const double m = penWidth_ + 2;
    const double xmin = -m, ymin = -m, xmax = width_ + m, ymax = height_ + m;
    if (centre.x + r < xmin || centre.x - r > xmax || centre.y + r < ymin || centre.y - r > ymax)
        return;  // wholly beside the view
    const double farthest
        = std::hypot(std::max(centre.x - xmin, xmax - centre.x), std::max(centre.y - ymin, ymax - centre.y));
    if (farthest < r)
        return;  // the view lies wholly inside the circle

    const double diagonal = std::hypot(xmax - xmin, ymax - ymin);
    if (r <= std::max(DirectCircleLimit, 4 * diagonal)) {
        const int ri = static_cast<int>(std::lround(r));
        if (QPainter* p = painter(c))
            p->drawEllipse(Pixel(centre.x, centre.y), ri, ri);
        return;
    }
    arc(centre, r, c);
}

// A circle far larger than the view: only the part near the view can show, and that part lies
// within a chord of one view diagonal around the circle's point nearest the view's centre.
void ImageSurface::arc(Point centre, double radius, Color c)
{
    const double cx = width_ / 2.0;
    const double cy = height_ / 2.0;
    const double m = penWidth_ + 2;
    const double diagonal = std::hypot(width_ + 2 * m, height_ + 2 * m);
    const double mid = std::atan2(cy - centre.y, cx - centre.x);
    const double half = 1.5 * 2 * std::asin(std::min(1.0, diagonal / (2 * radius)));
    Point previous {};
    for (int k = 0; k <= ArcSegments; ++k) {
        const double angle = mid - half + 2 * half * k / ArcSegments;
        const Point p {centre.x + radius * std::cos(angle), centre.y + radius * std::sin(angle)};
        if (k > 0)
            segment(previous, p, c);
        previous = p;
    }
}

}  // namespace tenso
