#pragma once
// The evaluation of a series as tenso-report runs it: every file, in parallel, printed in the
// order of the arguments as soon as it and those before it are done, then the statistics.

#include "command_line.h"

#include "standard/specimens.h"
#include "standard/statistics.h"

#include <functional>

namespace tenso::report {

// One file: the specimens table's row (if any) over the options' geometry, then the evaluation.
// A bad file gives a Result with its error, never an exception.
standard::Result EvaluateOne(
    const std::string& file, const Settings& settings, const standard::SpecimenTable* table, bool keepCurve);

// One file with options of its own (a specimen of a saved evaluation), worded as EvaluateOne.
standard::Result EvaluateWith(const std::string& file, const standard::Options& options, bool keepCurve);

// Called on the main thread with each result, in order, before it is printed; a hook for
// output beside the report (pictures), which gets each result with its curve and whether it counts
// in the series. Returns false to stop the series (after saying why on standard error): the exit
// status is then 1.
using ResultHook = std::function<bool(const standard::Result&, bool included)>;

struct SeriesOutcome {
    int status = 0;  // 0 all evaluated, 1 a file failed or standard output could not be written
    standard::Statistics statistics;  // over the results handed out that count in the series
};

// Evaluates and prints the series.
SeriesOutcome RunSeries(
    const Settings& settings, const standard::SpecimenTable* table, const ResultHook& hook = {});

}  // namespace tenso::report
