#pragma once

#include <QString>

#include <memory>
#include <set>
#include <string>

namespace tenso {

class RecordingSurface;

// Writes the plot area of each evaluated file as a PNG or SVG picture. Paths are bytes, as given.
class PlotOutput {
public:
    // nullptr with *error set when the path's extension is neither .png nor .svg, the path is not
    // UTF-8, or its folder does not exist: a usage error, found before any file is evaluated.
    static std::unique_ptr<PlotOutput> Create(
        const std::string& path, int scale, bool perFile, QString* error);

    // Paints what the plot area shows after the evaluation of `file` into the next picture's path.
    // False with *error (one line, naming the picture and the reason) when it could not be written;
    // then no file is left under that name.
    bool Write(const std::string& file, const RecordingSurface& drawing, QString* error);

    // The picture's path for the file at `position` (from 1) of the list. With one file, the path
    // as given; with several, the file's base name goes before the extension (out-run.png), and a
    // name already taken by an earlier file of this run gets the position too (out-run-2.png), so
    // that no picture is written over another. Each call takes the name it returns.
    std::string NextPath(const std::string& file, size_t position);

private:
    PlotOutput(std::string path, int scale, bool perFile, bool svg)
        : path_(std::move(path))
        , scale_(scale)
        , perFile_(perFile)
        , svg_(svg)
    { }
    std::string path_;
    int scale_;
    bool perFile_;
    bool svg_;
    size_t written_ = 0;  // pictures asked for so far
    std::set<std::string> taken_;  // names given out in this run
};

}  // namespace tenso
