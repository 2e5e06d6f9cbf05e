#pragma once
// Series statistics over the files of one call (failed files and null values left out).

#include "evaluation.h"

#include <optional>
#include <string>
#include <vector>

namespace tenso::standard {

struct Statistic {
    std::size_t n = 0;
    std::optional<double> mean, s, CoV, min, max;  // s with n - 1, two passes
};

// Collects the values of each quantity file by file, so that a long series keeps no curves.
class SeriesStatistics {
public:
    explicit SeriesStatistics(const std::vector<double>& proofPercents);
    void Add(const Result& result);
    // The quantities in report order: E (GPa), ReH, ReL, Ae, Rp<key>..., Rm, Fm, Agt, Ag, Rf, At, A, Z.
    std::vector<std::pair<std::string, Statistic>> Compute() const;

private:
    std::vector<std::string> names_;
    std::vector<std::vector<double>> values_;
};

}  // namespace tenso::standard
