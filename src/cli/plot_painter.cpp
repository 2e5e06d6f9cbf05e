#include "plot_painter.h"

#include "image_surface.h"
#include "plot/recording_surface.h"

#include <QFileInfo>
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
                                                                      const char* path, int scale, bool svg,
                                                                      const char* title, char* error, int errorSize)
{
    const QString file = QString::fromUtf8(path);
    if (svg) {
        QSvgGenerator generator;
        generator.setFileName(file);
        generator.setSize(PlotArea * scale);
        generator.setViewBox(QRect(QPoint(0, 0), PlotArea * scale));
        generator.setTitle(QString::fromUtf8(title));
        tenso::ImageSurface surface(&generator, PlotArea, scale);
        drawing->Replay(surface);
        surface.Finish();
        if (!QFileInfo(file).isFile())
            return fail(QStringLiteral("cannot write %1").arg(file), error, errorSize);
        return true;
    }
    tenso::ImageSurface surface(PlotArea, scale);
    drawing->Replay(surface);
    QImageWriter writer(file, "png");
    if (!writer.write(surface.Image()))
        return fail(QStringLiteral("cannot write %1: %2").arg(file, writer.errorString()), error, errorSize);
    return true;
}
