#include "plot_output.h"

#include "image_surface.h"
#include "plot/recording_surface.h"

#include <QImageWriter>
#include <QPoint>
#include <QRect>
#include <QSvgGenerator>

#include <QDir>
#include <QFileInfo>

namespace tenso {
namespace {

// The drawing area of the plot inside its one-pixel frame, as the window shows it.
constexpr QSize PlotArea(4095 / 15 - 2, 3735 / 15 - 2);

}  // namespace

std::unique_ptr<PlotOutput> PlotOutput::Create(const QString& path, int scale, bool perFile, QString* error)
{
    const QString suffix = QFileInfo(path).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        *error = QStringLiteral("--plot needs a .png or .svg path, not \"%1\"").arg(path);
        return nullptr;
    }
    return std::unique_ptr<PlotOutput>(new PlotOutput(path, scale, perFile, suffix == QLatin1String("svg")));
}

QString PlotOutput::PathFor(const QString& file) const
{
    if (!perFile_)
        return path_;
    const QFileInfo target(path_);
    const QString name = target.completeBaseName() + QLatin1Char('-') + QFileInfo(file).completeBaseName() +
                         QLatin1Char('.') + target.suffix();
    return target.dir().filePath(name);
}

bool PlotOutput::Write(const QString& file, const RecordingSurface& drawing, QString* error) const
{
    const QString path = PathFor(file);
    if (svg_) {
        QSvgGenerator generator;
        generator.setFileName(path);
        generator.setSize(PlotArea * scale_);
        generator.setViewBox(QRect(QPoint(0, 0), PlotArea * scale_));
        generator.setTitle(QStringLiteral("Tenso plot of %1").arg(QFileInfo(file).fileName()));
        ImageSurface surface(&generator, PlotArea, scale_);
        drawing.Replay(surface);
        surface.Finish();
        if (!QFileInfo(path).isFile()) {
            *error = QStringLiteral("cannot write %1").arg(path);
            return false;
        }
        return true;
    }
    ImageSurface surface(PlotArea, scale_);
    drawing.Replay(surface);
    QImageWriter writer(path, "png");
    if (!writer.write(surface.Image())) {
        *error = QStringLiteral("cannot write %1: %2").arg(path, writer.errorString());
        return false;
    }
    return true;
}

}  // namespace tenso
