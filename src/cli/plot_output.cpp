#include "plot_output.h"

#include "file_names.h"
#include "picture_file.h"
#include "plot_painter.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace tenso {
namespace {

// "a/b/out.png" splits into the folder part "a/b/", the stem "out" and the suffix ".png".
struct PathParts {
    std::string folder, stem, suffix;
};

PathParts split(const std::string& path)
{
    const size_t slash = path.rfind('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::string name = path.substr(nameStart);
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos)
        return {path.substr(0, nameStart), name, {}};
    return {path.substr(0, nameStart), name.substr(0, dot), name.substr(dot)};
}

// The base name of a data file in a picture's name: a picture's name must be text, so bytes that
// are not UTF-8 become U+FFFD there.
std::string baseNameText(const std::string& file)
{
    const std::string stem = split(file).stem;
    return IsUtf8(stem) ? stem
                        : QString::fromUtf8(stem.data(), static_cast<qsizetype>(stem.size())).toStdString();
}

}  // namespace

std::unique_ptr<PlotOutput> PlotOutput::Create(
    const std::string& path, int scale, bool perFile, QString* error)
{
    const QString text = QString::fromUtf8(path.data(), static_cast<qsizetype>(path.size()));
    const QString suffix = QFileInfo(text).suffix().toLower();
    if (suffix != QLatin1String("png") && suffix != QLatin1String("svg")) {
        *error = QStringLiteral("--plot needs a .png or .svg path, not \"%1\"").arg(ShortPath(path));
        return nullptr;
    }
    if (!IsUtf8(path)) {
        *error = QStringLiteral("--plot needs a path in UTF-8, not \"%1\"").arg(ShortPath(path));
        return nullptr;
    }
    // A missing folder would fail every picture alike; say it once, before the evaluation starts.
    std::string folder = split(path).folder;
    if (folder.size() > 1)
        folder.pop_back();  // "a/b/" names the folder "a/b"
    struct stat st { };
    if (!folder.empty() && ::stat(folder.c_str(), &st) != 0) {
        const int err = errno;
        *error = err == ENOENT
            ? QStringLiteral("--plot: the folder \"%1\" does not exist").arg(ShortPath(folder))
            : QStringLiteral("--plot: the folder \"%1\": %2")
                  .arg(ShortPath(folder), QString::fromLocal8Bit(std::strerror(err)));
        return nullptr;
    }
    if (!folder.empty() && !S_ISDIR(st.st_mode)) {
        *error = QStringLiteral("--plot: \"%1\" is not a folder").arg(ShortPath(folder));
        return nullptr;
    }
    return std::unique_ptr<PlotOutput>(new PlotOutput(path, scale, perFile, suffix == QLatin1String("svg")));
}

std::string PlotOutput::NextPath(const std::string& file, size_t position)
{
    if (!perFile_)
        return path_;
    const PathParts target = split(path_);
    std::string stem = target.stem + '-' + baseNameText(file);
    while (taken_.contains(stem))
        stem += '-' + std::to_string(position);
    taken_.insert(stem);
    return target.folder + stem + target.suffix;
}

bool PlotOutput::Write(const std::string& file, const RecordingSurface& drawing, QString* error)
{
    const std::string path = NextPath(file, ++written_);
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
    if (!paint) {
        *error = QStringLiteral("cannot write %1: the picture module %2 is missing (%3)")
                     .arg(ShortPath(path), QStringLiteral(TENSO_PLOT_MODULE),
                         QString::fromLocal8Bit(::dlerror()));
        return false;
    }
    // The whole picture is made in memory first, so that the file gets either all of it or nothing.
    char message[512] = {};
    QByteArray picture;
    const QString fileText = QString::fromUtf8(file.data(), static_cast<qsizetype>(file.size()));
    const QByteArray title = QStringLiteral("Tenso plot of %1").arg(QFileInfo(fileText).fileName()).toUtf8();
    if (!paint(
            &drawing, scale_, svg_, title.constData(), &picture, message, static_cast<int>(sizeof message))) {
        *error = QStringLiteral("cannot write %1: %2").arg(ShortPath(path), QString::fromUtf8(message));
        return false;
    }
    QString reason;
    if (!WriteFileSafely(path, picture, &reason)) {
        *error = QStringLiteral("cannot write %1: %2").arg(ShortPath(path), reason);
        return false;
    }
    return true;
}

}  // namespace tenso
