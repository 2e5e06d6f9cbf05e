#pragma once
// The charts of --plot: one file per specimen, named after its data file.

#include "chart_data.h"
#include "chart_options.h"

#include <QSize>
#include <QString>

#include <set>
#include <string>

namespace tenso::report {

// Names of chart files that never collide within one call: the data file's base name without its
// extension, then "-2", "-3", ... for a name already given ("a/run.csv" -> run.png, "b/run.csv" ->
// run-2.png). A file of an earlier call with the same name is replaced.
class ChartNames {
public:
    explicit ChartNames(PlotFormat format)
        : format_(format)
    { }
    QString Next(const std::string& dataFile);

private:
    PlotFormat format_;
    std::set<QString> used_;
};

// Paints the chart into `path` through a QSaveFile. Returns an empty text, or one line naming the
// file and the reason.
std::string WriteChartFile(const QString& path, const ChartData& chart, QSize size, PlotFormat format);

}  // namespace tenso::report
