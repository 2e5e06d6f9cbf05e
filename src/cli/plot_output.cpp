#include "plot_output.h"

#include "plot_painter.h"

#include <QCoreApplication>
#include <QFile>

#include <dlfcn.h>

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
    const QString name = target.completeBaseName() + QLatin1Char('-') + QFileInfo(file).completeBaseName()
        + QLatin1Char('.') + target.suffix();
    return target.dir().filePath(name);
}

bool PlotOutput::Write(const QString& file, const RecordingSurface& drawing, QString* error) const
{
    // The painting lives in a module of its own, loaded on the first picture. The check below takes
    // the function pointer for a pointer to data that could be made const.
    // NOLINTNEXTLINE(cppcoreguidelines-avoid-non-const-global-variables)
    static TensoPaintPlotFunction* const paint = [] {
        const QString dir = QCoreApplication::applicationDirPath();
        for (const QString& candidate : {dir + QStringLiteral("/" TENSO_PLOT_MODULE),
                 dir + QStringLiteral("/" TENSO_PLOT_MODULE_FROM_BIN "/" TENSO_PLOT_MODULE)}) {
            if (void* module = ::dlopen(QFile::encodeName(candidate).constData(), RTLD_NOW | RTLD_LOCAL))
                // dlsym gives every symbol as void*; POSIX guarantees the cast to a function pointer.
                // NOLINTNEXTLINE(cppcoreguidelines-pro-type-reinterpret-cast)
                return reinterpret_cast<TensoPaintPlotFunction*>(::dlsym(module, "TensoPaintPlot"));
        }
        return static_cast<TensoPaintPlotFunction*>(nullptr);
    }();
    const QString path = PathFor(file);
    if (!paint) {
        *error = QStringLiteral("cannot write %1: the picture module %2 is missing (%3)")
                     .arg(path, QStringLiteral(TENSO_PLOT_MODULE), QString::fromLocal8Bit(::dlerror()));
        return false;
    }
    char message[512] = {};
    const QByteArray title = QStringLiteral("Tenso plot of %1").arg(QFileInfo(file).fileName()).toUtf8();
    if (!paint(&drawing, QFile::encodeName(path).constData(), scale_, svg_, title.constData(), message,
            static_cast<int>(sizeof message))) {
        *error = QString::fromUtf8(message);
        return false;
    }
    return true;
}

}  // namespace tenso
