#include "decimate.h"

#include <algorithm>
#include <cmath>

namespace tenso::report {

namespace {

std::size_t Column(double x, double x0, double scale, std::size_t columns)
{
    const double c = std::floor((x - x0) * scale);
    if (!(c > 0))  // also NaN
        return 0;
    if (c >= static_cast<double>(columns - 1))
        return columns - 1;
    return static_cast<std::size_t>(c);
}

// Appends the first, lowest, highest and last index of the run [begin, end) in index order.
void KeepRun(std::span<const double> y, std::size_t begin, std::size_t end, std::vector<std::size_t>& kept)
{
    std::size_t low = begin, high = begin;
    for (std::size_t i = begin + 1; i < end; ++i) {
        if (y[i] < y[low])
            low = i;
        if (y[i] > y[high])
            high = i;
    }
    std::size_t picks[] = {begin, std::min(low, high), std::max(low, high), end - 1};
    for (const std::size_t i : picks) {
        if (kept.empty() || kept.back() < i)
            kept.push_back(i);
    }
}

}  // namespace

std::vector<std::size_t> DecimateIndices(
    std::span<const double> x, std::span<const double> y, double x0, double x1, std::size_t columns)
{
    const std::size_t n = std::min(x.size(), y.size());
    std::vector<std::size_t> kept;
    if (n == 0)
        return kept;
    columns = std::max<std::size_t>(columns, 1);
    const double width = x1 - x0;
    const double scale = width > 0 ? static_cast<double>(columns) / width : 0.0;
    std::size_t begin = 0;
    std::size_t column = Column(x[0], x0, scale, columns);
    for (std::size_t i = 1; i < n; ++i) {
        const std::size_t c = Column(x[i], x0, scale, columns);
        if (c != column) {
            KeepRun(y, begin, i, kept);
            begin = i;
            column = c;
        }
    }
    KeepRun(y, begin, n, kept);
    return kept;
}

}  // namespace tenso::report
