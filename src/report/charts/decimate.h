#pragma once
// Thinning a long curve for drawing: of each run of points that fall into one pixel column, the
// first, the lowest, the highest and the last are kept, so no peak or dip is lost and the line
// still enters and leaves the column where the full curve does.

#include <cstddef>
#include <span>
#include <vector>

namespace tenso::report {

// The indices, ascending, of the points of (x, y) to draw when [x0, x1] spans `columns` pixel
// columns. Points outside [x0, x1] count to the nearest edge column. A run is a stretch of
// consecutive points in one column, so a curve that goes back and forth keeps its path.
std::vector<std::size_t> DecimateIndices(
    std::span<const double> x, std::span<const double> y, double x0, double x1, std::size_t columns);

}  // namespace tenso::report
