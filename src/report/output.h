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

using Statistics = std::vector<std::pair<std::string, standard::Statistic>>;

class ReportWriter {
public:
    virtual ~ReportWriter() = default;
    virtual std::string Begin() = 0;
    virtual std::string Write(const standard::Result& result) = 0;
    virtual std::string End(const Statistics& statistics) = 0;
};

enum class Format { Csv, Json };

// `proofKeys` are the shortest texts of the --proof values ("0.2", "1"), in their order.
std::unique_ptr<ReportWriter> MakeWriter(Format format, std::vector<std::string> proofKeys);

}  // namespace tenso::report
