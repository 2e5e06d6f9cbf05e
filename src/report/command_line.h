#pragma once
// tenso-report's options: what the command line asks for, or a usage error.

#include "report_writer.h"

#include "charts/chart_options.h"

#include "standard/evaluation.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace tenso::report {

// A bad option: one line for standard error, exit status 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

struct Settings {
    standard::Options options;
    Format format = Format::Csv;
    std::string specimensFile;  // empty: none
    std::vector<std::string> files;  // the bytes as the shell passed them
    ChartOptions charts;  // --pdf, --plot and theirs
    bool validate = false;  // --validate: the known-answer suite instead of FILEs
    std::string referenceFile, expectFile;  // --reference, --expect: empty when not given
    // --evaluation: a saved evaluation of Tenso Lab. Once read (ApplyEvaluation), each of `files`
    // has its own options and says whether it counts in the series.
    std::string evaluationFile;
    std::vector<standard::Options> fileOptions;  // empty: `options` for every file
    std::vector<bool> included;  // empty: every file counts
};

// Parses argv (its raw bytes). --help and --version print and exit 0; a bad option throws
// UsageError naming it.
Settings ParseCommandLine(int argc, char** argv);

// Reads --evaluation's file into `settings`: its files, their options and the series' settings.
// Throws UsageError for a file that cannot be read or is no evaluation.
void ApplyEvaluation(Settings& settings);

}  // namespace tenso::report
