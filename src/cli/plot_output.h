#pragma once

#include <QString>

#include <memory>

namespace tenso {

class RecordingSurface;

// Writes the plot area of each evaluated file as a PNG or SVG picture.
class PlotOutput {
public:
    // nullptr with *error set when the path's extension is neither .png nor .svg.
    static std::unique_ptr<PlotOutput> Create(const QString& path, int scale, bool perFile, QString* error);

    // Paints what the plot area shows after the evaluation of `file`.
    bool Write(const QString& file, const RecordingSurface& drawing, QString* error) const;

    // The picture's path for `file`: with several files, its base name goes before the extension.
    QString PathFor(const QString& file) const;

private:
    PlotOutput(QString path, int scale, bool perFile, bool svg)
        : path_(std::move(path)), scale_(scale), perFile_(perFile), svg_(svg)
    {
    }
    QString path_;
    int scale_;
    bool perFile_;
    bool svg_;
};

}  // namespace tenso
