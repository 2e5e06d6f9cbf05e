#pragma once
// tenso-report with pictures: the series as RunSeries evaluates and prints it, and beside it the
// chart files of --plot and the PDF report of --pdf, with a progress line on a terminal.

#include "command_line.h"

#include "standard/specimens.h"

#include <QCoreApplication>

#include <memory>

namespace tenso::report {

// The application object: a QGuiApplication on the offscreen platform when pictures are asked for
// (fonts need it; no display is used), else a QCoreApplication, which starts faster.
std::unique_ptr<QCoreApplication> MakeApplication(int& argc, char** argv, bool charts);

// Checks the picture options' folders (a usage error before anything is evaluated), then runs the
// series. Returns the exit status: 1 also when a chart or the report could not be written.
int RunSeriesWithCharts(const Settings& settings, const standard::SpecimenTable* table);

}  // namespace tenso::report
