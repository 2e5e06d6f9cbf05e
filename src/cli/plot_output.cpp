#include "plot_output.h"

#include "plot/recording_surface.h"

#include <QDir>
#include <QFileInfo>

namespace tenso {

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

bool PlotOutput::Write(const QString& file, const RecordingSurface&, QString* error) const
{
    // Painting arrives with the plot widget's image surface.
    *error = QStringLiteral("cannot write %1: plot output is not available yet").arg(PathFor(file));
    return false;
}

}  // namespace tenso
