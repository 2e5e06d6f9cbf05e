#pragma once
// Series statistics over the files of one call (failed files and null values left out).

#include "standard/evaluation.h"
#include "standard/quantity_table.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tenso::standard {

struct Statistic {
    std::size_t n = 0;
    std::optional<double> mean, s, CoV, min, max;  // s with n - 1, two passes
};

// Each quantity of the table that has statistics, by its symbol ("E", "Rp0.2"), in table order.
using Statistics = std::vector<std::pair<std::string, Statistic>>;

// Collects the values of each quantity file by file, so that a long series keeps no curves.
class SeriesStatistics {
public:
    explicit SeriesStatistics(const std::vector<double>& proofPercents);
    void Add(const Result& result);
    Statistics Compute() const;

private:
    std::vector<Quantity> quantities_;  // those with statistics
    std::vector<std::vector<double>> values_;
};

// The statistic of the quantity `symbol`; nullptr when the list has none.
const Statistic* FindStatistic(const Statistics& statistics, const std::string& symbol);

}  // namespace tenso::standard
