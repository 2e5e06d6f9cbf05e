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
};

// Parses argv (its raw bytes). --help and --version print and exit 0; a bad option throws
// UsageError naming it.
Settings ParseCommandLine(int argc, char** argv);

}  // namespace tenso::report
