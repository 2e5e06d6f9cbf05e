#pragma once
// The two formats behind MakeWriter.

#include "output.h"

namespace tenso::report {

std::unique_ptr<ReportWriter> MakeCsvWriter(std::vector<std::string> proofKeys);
std::unique_ptr<ReportWriter> MakeJsonWriter(std::vector<std::string> proofKeys);

}  // namespace tenso::report
