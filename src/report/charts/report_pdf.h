#pragma once
// The printed test report: page 1 (and more for a long series) with the parameters, a table of every
// specimen with the series statistics, the files that failed and a chart of all curves; then one
// page per evaluated specimen with its chart, its results and its notes.

#include "chart_data.h"
#include "chart_options.h"
#include "standard/evaluation.h"
#include "standard/statistics.h"

#include <QDateTime>
#include <QString>

#include <string>
#include <utility>
#include <vector>

namespace tenso::report {

struct ReportSettings {
    std::string title = "Tensile test report";
    QDateTime evaluated;  // when the evaluation ran
    std::string version;  // Tenso's
    standard::Options options;  // the parameters the files were evaluated with
    PageSize page = PageSize::A4;
};

// One file of the call: its results (the curve may be dropped) and its thinned chart.
struct ReportEntry {
    standard::Result result;
    ChartData chart;
    bool included = true;  // false: marked in the report, and left out of its statistics
};

// Writes the report through a QSaveFile, so that nothing is left under `path` on failure. Returns
// an empty text on success, else one line naming the file and the reason.
std::string WritePdfReport(const QString& path, const ReportSettings& settings,
    const std::vector<ReportEntry>& entries, const standard::Statistics& statistics);

}  // namespace tenso::report
