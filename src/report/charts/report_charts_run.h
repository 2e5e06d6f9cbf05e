#pragma once
// tenso-report with pictures: the series as RunSeries evaluates and prints it, and beside it the
// chart files of --plot and the PDF report of --pdf, with a progress line on a terminal.

#include "command_line.h"

#include "standard/specimens.h"

#include <QGuiApplication>

#include <memory>

namespace tenso::report {

// The application object that pictures need (fonts): a QGuiApplication on the offscreen platform,
// so that no display is used. A run without pictures starts no Qt application at all.
std::unique_ptr<QGuiApplication> MakeGuiApplication(int& argc, char** argv);

// Checks the picture options' folders (a usage error before anything is evaluated), then runs the
// series. Returns the exit status: 1 also when a chart or the report could not be written.
int RunSeriesWithCharts(const Settings& settings, const standard::SpecimenTable* table);

}  // namespace tenso::report
