#pragma once
// A saved evaluation of Tenso Lab: the data files of a series with what the user set for each
// specimen (its geometry, id, material, whether it counts, its own modulus range) and the series'
// settings. Tenso Lab saves and opens it; `tenso-report --evaluation FILE` evaluates it, so that a
// series evaluated by hand is re-run or audited from a script with the very same numbers.

#include "standard/evaluation.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tenso::report {

// What the user set for the series as a whole.
struct SeriesSetup {
    std::vector<double> proofPercents {0.2};
    double fractureDropPercent = 10.0;
    standard::ModulusMethod modulus = standard::ModulusMethod::Sdar;
    std::optional<std::pair<double, double>> modulusRange;  // fixed for every specimen; unset: found
};

// One specimen: its data file and the values set for it alone. Unset values come from the file.
struct SpecimenSetup {
    std::string file;  // bytes; absolute once read, relative to the evaluation file inside it
    standard::Specimen specimen;
    std::string id, material;  // empty: the file's header says, if it does
    bool included = true;  // counted in the statistics
    std::optional<std::pair<double, double>> modulusRange;  // MPa; unset: the series'
};

struct Evaluation {
    SeriesSetup series;
    std::vector<SpecimenSetup> specimens;
};

// The options one specimen is evaluated with: the series' settings, the specimen's own values over
// them (its range over the series' one).
standard::Options OptionsFor(const SeriesSetup& series, const SpecimenSetup& specimen);

// The settings of a series as options without any specimen's values, for the report's parameters.
standard::Options OptionsFor(const SeriesSetup& series);

// Reads an evaluation file; the data files' paths are made absolute from its folder. Throws
// std::runtime_error with one line naming the file and what is wrong.
Evaluation ReadEvaluation(const std::string& path);

// The file's text: paths relative to `folder` (bytes), so that a series moves with its evaluation;
// numbers in their shortest exact form.
std::string EvaluationText(const Evaluation& evaluation, const std::string& folder);

// Writes the file at `path` through a QSaveFile: on failure nothing is left and the old file stays.
// Returns an empty text on success, else one line naming the file and the reason.
std::string WriteEvaluation(const std::string& path, const Evaluation& evaluation);

}  // namespace tenso::report
