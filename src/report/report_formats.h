#pragma once
// The two formats behind MakeWriter.

#include "report_writer.h"

namespace tenso::report {

std::unique_ptr<ReportWriter> MakeCsvWriter(const std::vector<double>& proofPercents, bool withIncluded);
std::unique_ptr<ReportWriter> MakeJsonWriter(const std::vector<double>& proofPercents, bool withIncluded);

}  // namespace tenso::report
