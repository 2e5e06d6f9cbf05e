#pragma once
// The report's text, file by file: CSV (RFC 4180) or JSON. Each Write returns the text of one
// file at once, so that a series of any length is printed while it is evaluated and nothing of it
// is kept but the statistics' values.

#include "standard/evaluation.h"
#include "standard/statistics.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace tenso::report {

class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual std::string Begin() = 0;
    virtual std::string Write(const standard::Result& result) = 0;
    virtual std::string End(const standard::Statistics& statistics) = 0;
};

enum class Format { Csv, Json };

// The columns and keys of the quantities for the proof strengths of --proof, in their order.
std::unique_ptr<ReportWriter> MakeWriter(Format format, const std::vector<double>& proofPercents);

}  // namespace tenso::report
