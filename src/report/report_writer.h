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
    // `included` false: the specimen was left out of the series (an evaluation of Tenso Lab).
    virtual std::string Write(const standard::Result& result, bool included) = 0;
    virtual std::string End(const standard::Statistics& statistics) = 0;
};

enum class Format { Csv, Json };

// The columns and keys of the quantities for the proof strengths of --proof, in their order.
// `withIncluded` adds whether each specimen counts in the series (a column after "file", a key
// after "file"), for an evaluation that leaves some out.
std::unique_ptr<ReportWriter> MakeWriter(
    Format format, const std::vector<double>& proofPercents, bool withIncluded = false);

}  // namespace tenso::report
