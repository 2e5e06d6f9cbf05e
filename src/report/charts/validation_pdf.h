#pragma once
// The validation record of tenso-report --validate --pdf, the document a laboratory files as the
// evidence that its software computes known answers: what ran, where and when, the cases with their
// purpose, every check with pass or fail, and lines for who prepared and who reviewed it. Beside it
// the run of --validate itself, which prints the same record as text.

#include "chart_options.h"
#include "command_line.h"
#include "validation.h"

#include "standard/specimens.h"

#include <QString>

#include <string>

namespace tenso::report {

// Writes the record through a QSaveFile, so that nothing is left under `path` on failure. Returns an
// empty text on success, else one line naming the file and the reason.
std::string WriteValidationPdf(const QString& path, const ValidationRun& run, PageSize page);

// tenso-report --validate: runs the suite installed with the program (and the laboratory's
// reference), prints the record's text and, with --pdf, writes the record; --pdf needs the Qt Gui
// application. Returns the exit status: 0 when every check passed, else 1 (also when the suite is
// missing or the record cannot be written). Throws UsageError for a --pdf or --expect that cannot be
// used, before anything is evaluated.
int RunValidation(const Settings& settings, const standard::SpecimenTable* table);

}  // namespace tenso::report
