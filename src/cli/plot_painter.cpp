#include "plot_painter.h"

#include "image_surface.h"
#include "plot/recording_surface.h"

#include <QBuffer>
#include <QImageWriter>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QSvgGenerator>

#include <cstring>

namespace {

// The drawing area of the plot inside its one-pixel frame, as the window shows it.
constexpr QSize PlotArea(4095 / 15 - 2, 3735 / 15 - 2);

bool fail(const QString& message, char* error, int errorSize)
{
    const QByteArray text = message.toUtf8();
    const auto n = std::min<qsizetype>(text.size(), errorSize - 1);
    std::memcpy(error, text.constData(), static_cast<size_t>(n));
    error[n] = '\0';
    return false;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) bool TensoPaintPlot(const tenso::RecordingSurface* drawing,
    int scale, bool svg, const char* title, QByteArray* picture, char* error, int errorSize)
{
    QBuffer buffer(picture);
    if (!buffer.open(QIODevice::WriteOnly))
        return fail(QStringLiteral("no memory for the picture"), error, errorSize);
    if (svg) {
        QSvgGenerator generator;
        generator.setOutputDevice(&buffer);
        generator.setSize(PlotArea * scale);
        generator.setViewBox(QRect(QPoint(0, 0), PlotArea * scale));
        generator.setTitle(QString::fromUtf8(title));
        tenso::ImageSurface surface(&generator, PlotArea, scale);
        drawing->Replay(surface);
        surface.Finish();
        if (surface.Failed())
            return fail(QStringLiteral("the picture could not be painted"), error, errorSize);
        return true;
    }
    tenso::ImageSurface surface(PlotArea, scale);
    drawing->Replay(surface);
    QImageWriter writer(&buffer, "png");
    if (!writer.write(surface.Image()))
        return fail(writer.errorString(), error, errorSize);
    return true;
}
