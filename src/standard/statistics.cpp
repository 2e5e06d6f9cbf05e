#include "standard/statistics.h"

#include <algorithm>
#include <cmath>
#include <utility>

namespace tenso::standard {
namespace {

// n, mean, s with n - 1 from the deviations of a first-pass mean, CoV, min and max.
Statistic describe(const std::vector<double>& x)
{
    Statistic st;
    st.n = x.size();
    if (x.empty())
        return st;
    double sum = 0;
    for (double v : x)
        sum += v;
    const double mean = sum / static_cast<double>(x.size());
    st.mean = mean;
    st.min = *std::min_element(x.begin(), x.end());
    st.max = *std::max_element(x.begin(), x.end());
    if (x.size() < 2)
        return st;
    double squares = 0;
    for (double v : x)
        squares += (v - mean) * (v - mean);
    const double s = std::sqrt(squares / static_cast<double>(x.size() - 1));
    st.s = s;
    if (mean != 0)
        st.CoV = s / mean * 100;
    return st;
}

}  // namespace

SeriesStatistics::SeriesStatistics(const std::vector<double>& proofPercents)
{
    for (Quantity& q : QuantityTable(proofPercents))
        if (q.statistics)
            quantities_.push_back(std::move(q));
    values_.resize(quantities_.size());
}

void SeriesStatistics::Add(const Result& result)
{
    if (result.error)
        return;
    for (std::size_t i = 0; i < quantities_.size(); ++i)
        if (const std::optional<double> v = quantities_[i].Number(result); v && std::isfinite(*v))
            values_[i].push_back(*v);
}

Statistics SeriesStatistics::Compute() const
{
    Statistics out;
    out.reserve(quantities_.size());
    for (std::size_t i = 0; i < quantities_.size(); ++i)
        out.emplace_back(quantities_[i].symbol, describe(values_[i]));
    return out;
}

const Statistic* FindStatistic(const Statistics& statistics, const std::string& symbol)
{
    for (const auto& [name, statistic] : statistics)
        if (name == symbol)
            return &statistic;
    return nullptr;
}

}  // namespace tenso::standard
