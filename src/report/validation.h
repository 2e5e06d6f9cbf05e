#pragma once
// tenso-report --validate: the evidence a laboratory keeps that the program, as installed on its
// machine, computes known answers. The known-answer suite installed with the program (synthetic
// exports whose answers follow from how they are built) and, with --reference and --expect, the
// laboratory's own reference export with its certified values are evaluated by the same EvaluateFile
// as any series; each expected value is looked up in the table of quantities and compared within its
// tolerance.

#include "command_line.h"

#include "standard/evaluation.h"
#include "standard/quantity_table.h"
#include "standard/specimens.h"

#include <cstddef>
#include <string>
#include <vector>

namespace tenso::report {

// The version of the rules the evaluation follows, as --version and the report name it.
inline constexpr const char* RulesVersion = "ISO 6892-1, rules 2";

// One row of an expected-values file (`quantity,expected,tolerance`), as written.
struct Expectation {
    std::size_t line = 0;  // in the file, from 1
    std::string quantity, expected, tolerance;
    std::string problem;  // a row that cannot be read: why; its check fails with it
};

// The rows of an expected-values file: a header row `quantity,expected,tolerance` (optional), `#`
// comment lines and blank lines are skipped. Throws std::runtime_error when the file cannot be read
// or holds no row.
std::vector<Expectation> ReadExpectations(const std::string& path);

// One comparison of the record.
struct Check {
    std::string quantity, expected, tolerance;  // as the expected-values file writes them
    std::string unit;  // of the quantity in the table of quantities; empty for none or unknown
    std::string computed;  // Tenso's value at full precision, "none" for an absent one, empty if unknown
    bool passed = false;
    std::string reason;  // why it failed
};

// The quantity a name stands for: the table's symbol ("Rp0.2", "E lo"), without regard to case and
// with '_' or '.' for a blank, or a member of the modulus fit by its JSON key ("lo", "E.hi",
// "sdar.x_noise" once the table has it). nullptr for a name the table does not hold.
const standard::Quantity* FindQuantity(const std::vector<standard::Quantity>& table, const std::string& name);

// Compares the expected value `x` with a result. A name the table does not hold, an absent value, an
// expected value or tolerance that cannot be read: the check fails and says why; never an exception.
Check Judge(
    const Expectation& x, const standard::Result& result, const std::vector<standard::Quantity>& table);

// One case: an export and its expected values.
struct CaseOutcome {
    std::string name, file, purpose;
    std::string error;  // the export could not be evaluated (every check fails), or its values read
    std::vector<Check> checks;
};

struct ValidationRun {
    std::string version;  // Tenso's
    std::string program;  // the file of the program that ran
    std::string rules = RulesVersion;
    std::string date;  // of the run, "2026-12-09 14:02:11 UTC"
    std::string host, system;  // the machine: its name, and its OS, kernel, CPU architecture and model
    std::string suite;  // the folder of the known-answer suite
    std::vector<CaseOutcome> cases;

    std::size_t Passed() const;
    std::size_t Total() const;
    bool AllPassed() const { return Total() > 0 && Passed() == Total(); }
};

// Where the suite is: beside the program in a build tree, else where the installation puts it
// (share/tenso/validation beside bin); `folder` is empty when neither holds one. Needs a
// QCoreApplication.
struct SuiteLocation {
    std::string folder;
    std::vector<std::string> searched;  // the folders looked in, for the message when none holds it
};
SuiteLocation FindSuite();

// Runs the suite of `suite` and, when the settings give one, the laboratory's reference. Throws
// UsageError when --expect cannot be read, std::runtime_error when the suite's list cannot.
ValidationRun RunValidationSuite(
    const std::string& suite, const Settings& settings, const standard::SpecimenTable* table);

// The record as text: the software, rules, date and machine, a table of every check, then
// "N of M checks passed".
std::string ValidationText(const ValidationRun& run);

}  // namespace tenso::report
