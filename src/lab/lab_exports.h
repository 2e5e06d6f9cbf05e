#pragma once
// What Tenso Lab writes of a series: the report's CSV and JSON (with whether each specimen counts,
// as `tenso-report --evaluation` writes them), the PDF report and the details of one specimen.

#include "lab_series.h"
#include "report_writer.h"

#include <QString>

#include <string>

namespace tenso::lab {

// The CSV or JSON text of the series, byte for byte what `tenso-report --evaluation` prints for
// the same evaluation saved.
std::string SeriesText(const LabSeries& series, report::Format format);

// Writes `text` through a QSaveFile; an empty text on success, else one line with the reason.
std::string WriteTextFile(const QString& path, const std::string& text);

// The PDF report of the series, as tenso-report --pdf writes it; excluded specimens marked and left
// out of the statistics. An empty text on success, else one line with the reason.
std::string WriteSeriesPdf(const QString& path, const LabSeries& series, const QString& title);

// Every value of one specimen with its unit and meaning, where its geometry came from, its notes
// and its warnings, as HTML for the details pane.
QString DetailsHtml(const LabSpecimen& specimen, const report::SeriesSetup& setup);

}  // namespace tenso::lab
